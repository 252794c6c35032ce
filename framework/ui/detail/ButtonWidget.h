#pragma once

// Framework-internal: the widget of a PushButton.

#include <QPushButton>
#include <QShortcut>

#include "framework/ui/detail/ControlWidget.h"

namespace kivra::framework {
class PushButton;
}

namespace kivra::framework::detail {

// A native push button filling the control. Return and Escape are shortcuts of the
// window rather than QDialog's own handling, since a window here is no QDialog and
// Escape must run the Cancel button's action, not just close the window.
class ButtonWidget : public ControlWidget {
public:
    ButtonWidget(PushButton& owner, QWidget* parent);

    QPushButton& Button() const { return *mButton; }
    void Roles(bool isDefault, bool isCancel);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QShortcut* Shortcut(Qt::Key key);

    PushButton& mOwner;
    QPushButton* mButton;
    QShortcut* mReturn = nullptr;
    QShortcut* mEnter = nullptr;
    QShortcut* mEscape = nullptr;
};

}  // namespace kivra::framework::detail
