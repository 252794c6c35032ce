#include "framework/ui/StaticText.h"

#include <QFont>
#include <QPaintEvent>
#include <QPainter>

#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlWidget.h"
#include "framework/ui/detail/StyledFont.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"

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

// The program ends its lines with CR; Qt breaks lines only at LF and draws a
// CR as a space.
QString ShownText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
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
    mStyle.size = size;
    ApplyLook();
}

void StaticText::Bold(bool bold) {
    mStyle.bold = bold;
    ApplyLook();
}

const PropertyTable<StaticText>& StaticText::Properties() {
    using S = StaticText;
    static const PropertyTable<StaticText> table =
        PropertyTable<StaticText>()
            .TakesString("Text", [](S& s, const std::string& v) { s.mText = v; })
            .TakesInt32("TextAlign", [](S& s, Int32 v) { s.mTextAlign = v; })
            .TakesColor("TextColor", [](S& s, Color v) { s.mTextColor = v; })
            .TakesBoolean("Multiline", [](S& s, bool v) { s.mMultiline = v; });
    return table;
}

void StaticText::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value) && !mStyle.Take(name, value)) {
        RectControl::SetProperty(name, value);
        return;
    }
    ApplyLook();
}

detail::ControlWidget* StaticText::CreateWidget(Window& window) { return new LabelWidget(*this, &window.Widget()); }

void StaticText::ApplyLook() {
    auto* widget = static_cast<LabelWidget*>(Widget());
    if (!widget) return;
    widget->setFont(detail::StyledFont(mStyle, *widget));
    widget->Show(ShownText(mText), HorizontalAlignment(mTextAlign), mMultiline,
                 QColor(mTextColor.Red(), mTextColor.Green(), mTextColor.Blue()));
}

}  // namespace kivra::framework
