#include "framework/ui/detail/LabelWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace kivra::framework::detail {

void LabelWidget::Show(const QString& text, Qt::Alignment alignment, bool wrap, const QColor& color) {
    mText = text;
    mAlignment = alignment;
    mWrap = wrap;
    mColor = color;
    update();
}

void LabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(isEnabled() ? mColor : palette().color(QPalette::Disabled, QPalette::WindowText));
    int flags = static_cast<int>(mAlignment | Qt::AlignTop);
    if (mWrap) flags |= Qt::TextWordWrap;
    painter.drawText(rect(), flags, mText);
}

}  // namespace kivra::framework::detail
