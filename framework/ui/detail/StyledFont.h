#pragma once

// Framework-internal: a TextStyle as a Qt font.

#include <QFont>
#include <QWidget>

#include "framework/ui/TextStyle.h"

namespace kivra::framework::detail {

// The widget's parent's font with the style applied. Sizes are the design's
// pixels (72 dots per inch), so a label fits its height.
QFont StyledFont(const TextStyle& style, const QWidget& widget);

}  // namespace kivra::framework::detail
