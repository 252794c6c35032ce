#include "framework/ui/PushButton.h"

#include <QKeySequence>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

#include "framework/app/Runtime.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlWidget.h"
#include "framework/ui/detail/StyledFont.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

namespace {

// A native push button filling the control. Return and Escape are shortcuts of the
// window rather than QDialog's own handling, since a window here is no QDialog and
// Escape must run the Cancel button's action, not just close the window.
class ButtonWidget : public detail::ControlWidget {
public:
    ButtonWidget(PushButton& owner, QWidget* parent)
        : ControlWidget(owner, parent), mOwner(owner), mButton(new QPushButton(this)) {
        setFocusProxy(mButton);
        QObject::connect(mButton, &QPushButton::clicked, this, [this] { mOwner.Push(); });
        mReturn = Shortcut(Qt::Key_Return);
        mEnter = Shortcut(Qt::Key_Enter);
        mEscape = Shortcut(Qt::Key_Escape);
    }

    QPushButton& Button() const { return *mButton; }

    void Roles(bool isDefault, bool isCancel) {
        mButton->setDefault(isDefault);
        mReturn->setEnabled(isDefault);
        mEnter->setEnabled(isDefault);
        mEscape->setEnabled(isCancel);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        mButton->setGeometry(0, 0, event->size().width(), event->size().height());
    }

private:
    QShortcut* Shortcut(Qt::Key key) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setEnabled(false);
        QObject::connect(shortcut, &QShortcut::activated, this, [this] {
            if (mOwner.Visible()) mOwner.Push();
        });
        return shortcut;
    }

    PushButton& mOwner;
    QPushButton* mButton;
    QShortcut* mReturn = nullptr;
    QShortcut* mEnter = nullptr;
    QShortcut* mEscape = nullptr;
};

}  // namespace

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

detail::ControlWidget* PushButton::CreateWidget(Window& window) { return new ButtonWidget(*this, &window.Widget()); }

void PushButton::ApplyLook() {
    auto* widget = static_cast<ButtonWidget*>(Widget());
    if (!widget) return;
    QPushButton& button = widget->Button();
    // A caption is shown as written: "&" is no mnemonic marker here.
    button.setText(QString::fromStdString(mCaption).replace(QLatin1Char('&'), QLatin1String("&&")));
    button.setFont(detail::StyledFont(mStyle, *widget));
    widget->Roles(mDefault, mCancel);
}

}  // namespace kivra::framework
