#include "framework/ui/PushButton.h"

#include <QPushButton>

#include "framework/app/Runtime.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ButtonWidget.h"
#include "framework/ui/detail/StyledFont.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

void PushButton::Caption(const std::string& caption) {
    mCaption = caption;
    ApplyLook();
}

void PushButton::Default(bool v) {
    mDefault = v;
    ApplyLook();
}

void PushButton::Cancel(bool v) {
    mCancel = v;
    ApplyLook();
}

void PushButton::Push() {
    if (!Enabled()) return;
    // An action may close the window and drop the last reference to the button.
    auto keepAlive = weak_from_this().lock();
    Guarded([this] { Event_Action(); });
}

const PropertyTable<PushButton>& PushButton::Properties() {
    using B = PushButton;
    static const PropertyTable<PushButton> table =
        PropertyTable<PushButton>()
            .TakesString("Caption", [](B& b, const std::string& v) { b.mCaption = v; })
            .TakesBoolean("Default", [](B& b, bool v) { b.mDefault = v; })
            .TakesBoolean("Cancel", [](B& b, bool v) { b.mCancel = v; });
    return table;
}

void PushButton::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value) && !mStyle.Take(name, value)) {
        RectControl::SetProperty(name, value);
        return;
    }
    ApplyLook();
}

detail::ControlWidget* PushButton::CreateWidget(Window& window) {
    return new detail::ButtonWidget(*this, &window.Widget());
}

void PushButton::ApplyLook() {
    auto* widget = static_cast<detail::ButtonWidget*>(Widget());
    if (!widget) return;
    QPushButton& button = widget->Button();
    // A caption is shown as written: "&" is no mnemonic marker here.
    button.setText(QString::fromStdString(mCaption).replace(QLatin1Char('&'), QLatin1String("&&")));
    button.setFont(detail::StyledFont(mStyle, *widget));
    widget->Roles(mDefault, mCancel);
}

}  // namespace kivra::framework
