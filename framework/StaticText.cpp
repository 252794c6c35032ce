#include "framework/StaticText.h"

#include <QFont>
#include <QPaintEvent>
#include <QPainter>

#include "framework/Window.h"
#include "framework/detail/ControlWidget.h"
#include "framework/detail/WindowWidget.h"

namespace kivra::framework {

namespace {

// Paints the label's text; the label keeps the values, the widget only shows them.
class LabelWidget : public detail::ControlWidget {
public:
    LabelWidget(RectControl& owner, QWidget* parent) : ControlWidget(owner, parent) {}

    void Show(const QString& text, Qt::Alignment alignment, bool wrap, const QColor& color) {
        mText = text;
        mAlignment = alignment;
        mWrap = wrap;
        mColor = color;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(isEnabled() ? mColor : palette().color(QPalette::Disabled, QPalette::WindowText));
        int flags = static_cast<int>(mAlignment | Qt::AlignTop);
        if (mWrap) flags |= Qt::TextWordWrap;
        painter.drawText(rect(), flags, mText);
    }

private:
    QString mText;
    Qt::Alignment mAlignment = Qt::AlignLeft;
    bool mWrap = false;
    QColor mColor = Qt::black;
};

Qt::Alignment HorizontalAlignment(Int32 align) {
    switch (align) {
        case 1:
            return Qt::AlignHCenter;
        case 2:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
    }
}

}  // namespace

void StaticText::Text(const std::string& text) {
    mText = text;
    ApplyLook();
}

void StaticText::TextAlign(Int32 align) {
    mTextAlign = align;
    ApplyLook();
}

void StaticText::TextSize(Int32 size) {
    mTextSize = size;
    ApplyLook();
}

void StaticText::Bold(bool bold) {
    mBold = bold;
    ApplyLook();
}

void StaticText::SetProperty(const std::string& name, const PropertyValue& value) {
    if (name == "Text") {
        mText = PropertyString(name, value);
    } else if (name == "TextAlign") {
        mTextAlign = PropertyInt32(name, value);
    } else if (name == "TextColor") {
        mTextColor = PropertyColor(name, value);
    } else if (name == "Multiline") {
        mMultiline = PropertyBoolean(name, value);
    } else if (name == "TextFont") {
        mTextFont = PropertyString(name, value);
    } else if (name == "TextSize") {
        mTextSize = PropertyInt32(name, value);
    } else if (name == "Bold") {
        mBold = PropertyBoolean(name, value);
    } else if (name == "Italic") {
        mItalic = PropertyBoolean(name, value);
    } else if (name == "Underline") {
        mUnderline = PropertyBoolean(name, value);
    } else {
        RectControl::SetProperty(name, value);
        return;
    }
    ApplyLook();
}

detail::ControlWidget* StaticText::CreateWidget(Window& window) {
    return new LabelWidget(*this, &window.Widget());
}

void StaticText::ApplyLook() {
    auto* widget = static_cast<LabelWidget*>(Widget());
    if (!widget) return;
    // "System" and size 0 are the desktop's own font and size.
    QFont font = widget->parentWidget() ? widget->parentWidget()->font() : QFont();
    if (mTextFont != "System" && !mTextFont.empty()) font.setFamily(QString::fromStdString(mTextFont));
    // Sizes are the design's pixels (72 dots per inch), so a label fits its height.
    if (mTextSize > 0) font.setPixelSize(mTextSize);
    font.setBold(mBold);
    font.setItalic(mItalic);
    font.setUnderline(mUnderline);
    widget->setFont(font);
    widget->Show(QString::fromStdString(mText), HorizontalAlignment(mTextAlign), mMultiline,
                 QColor(mTextColor.Red(), mTextColor.Green(), mTextColor.Blue()));
}

}  // namespace kivra::framework
