#include "framework/ui/detail/ButtonWidget.h"

#include <QKeySequence>
#include <QResizeEvent>

#include "framework/ui/PushButton.h"

namespace kivra::framework::detail {

ButtonWidget::ButtonWidget(PushButton& owner, QWidget* parent)
    : ControlWidget(owner, parent), mOwner(owner), mButton(new QPushButton(this)) {
    setFocusProxy(mButton);
    QObject::connect(mButton, &QPushButton::clicked, this, [this] { mOwner.Push(); });
    mReturn = Shortcut(Qt::Key_Return);
    mEnter = Shortcut(Qt::Key_Enter);
    mEscape = Shortcut(Qt::Key_Escape);
}

void ButtonWidget::Roles(bool isDefault, bool isCancel) {
    mButton->setDefault(isDefault);
    mReturn->setEnabled(isDefault);
    mEnter->setEnabled(isDefault);
    mEscape->setEnabled(isCancel);
}

void ButtonWidget::resizeEvent(QResizeEvent* event) {
    mButton->setGeometry(0, 0, event->size().width(), event->size().height());
}

QShortcut* ButtonWidget::Shortcut(Qt::Key key) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setEnabled(false);
    QObject::connect(shortcut, &QShortcut::activated, this, [this] {
        if (mOwner.Visible()) mOwner.Push();
    });
    return shortcut;
}

}  // namespace kivra::framework::detail
