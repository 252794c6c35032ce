#include "framework/ui/StaticText.h"

#include <QFont>

#include "framework/ui/Window.h"
#include "framework/ui/detail/LabelWidget.h"
#include "framework/ui/detail/StyledFont.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

namespace {

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

detail::ControlWidget* StaticText::CreateWidget(Window& window) {
    return new detail::LabelWidget(*this, &window.Widget());
}

void StaticText::ApplyLook() {
    auto* widget = static_cast<detail::LabelWidget*>(Widget());
    if (!widget) return;
    widget->setFont(detail::StyledFont(mStyle, *widget));
    widget->Show(ShownText(mText), HorizontalAlignment(mTextAlign), mMultiline,
                 QColor(mTextColor.Red(), mTextColor.Green(), mTextColor.Blue()));
}

}  // namespace kivra::framework
