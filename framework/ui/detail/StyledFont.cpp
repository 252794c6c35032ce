#include "framework/ui/detail/StyledFont.h"

namespace kivra::framework::detail {

QFont StyledFont(const TextStyle& style, const QWidget& widget) {
    QFont font = widget.parentWidget() ? widget.parentWidget()->font() : QFont();
    if (style.font != "System" && !style.font.empty()) font.setFamily(QString::fromStdString(style.font));
    if (style.size > 0) font.setPixelSize(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

}  // namespace kivra::framework::detail
