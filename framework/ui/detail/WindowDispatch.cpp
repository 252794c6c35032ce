#include "framework/ui/detail/WindowDispatch.h"

#include <QAction>
#include <QMenu>

#include <memory>

#include "framework/app/MenuItem.h"
#include "framework/app/Runtime.h"
#include "framework/app/detail/RuntimeState.h"
#include "framework/testing/detail/TestSeams.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowWidget.h"

namespace kivra::framework::detail {

namespace {

// Shows the menu and gives the entry chosen, or Nil.
Ref<MenuItem> RunMenu(const MenuItem& root, QPoint global, QWidget* parent) {
    auto& seams = Seams();
    seams.lastContextMenu.clear();
    for (Int32 i = 0; i < root.Count(); ++i) {
        const auto item = root.Item(i);
        seams.lastContextMenu.push_back({item->Text(), item->Checked(), item->IsSeparator()});
    }
    if (seams.scriptedMenuChoice || seams.dialogsScripted) {
        const std::string caption = seams.scriptedMenuChoice.value_or("");
        seams.scriptedMenuChoice.reset();
        for (Int32 i = 0; i < root.Count(); ++i) {
            const auto item = root.Item(i);
            if (!caption.empty() && item->Text() == caption) return item;
        }
        return nullptr;
    }
    QMenu menu(parent);
    std::vector<std::pair<QAction*, Ref<MenuItem>>> actions;
    for (Int32 i = 0; i < root.Count(); ++i) {
        const auto item = root.Item(i);
        if (item->IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item->Text()));
        action->setEnabled(item->Enabled());
        if (item->Checked()) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        actions.emplace_back(action, item);
    }
    QAction* chosen = menu.exec(global);
    for (const auto& [action, item] : actions) {
        if (action == chosen) return item;
    }
    return nullptr;
}

}  // namespace

bool WindowDispatch::Pressed(const Window& window) { return window.mMousePressed; }

void WindowDispatch::Moved(Window& window, Int32 left, Int32 top) {
    window.mLeft = left;
    window.mTop = top;
}

void WindowDispatch::Resized(Window& window, Int32 width, Int32 height) {
    // Not while the window is still being made or already going.
    auto keepAlive = window.weak_from_this().lock();
    if (!keepAlive) return;
    Guarded([&] { window.FollowSize(width, height - window.mClientTop); });
}

void WindowDispatch::ScreensChanged(Window& window) {
    auto keepAlive = window.weak_from_this().lock();
    if (!keepAlive) return;
    Guarded([&] { window.ScreensChanged(); });
}

void WindowDispatch::Press(Window& window, Int32 x, Int32 y, bool contextual, QPoint global) {
    auto keepAlive = window.shared_from_this();
    auto& state = State();
    bool claimed = false;
    state.contextualClick = contextual;
    Guarded([&] { claimed = window.Event_MouseDown(x, y); });
    state.contextualClick = false;
    if (claimed) {
        window.mMousePressed = true;
        return;
    }
    if (contextual) ContextMenu(window, x, y, global);
}

void WindowDispatch::Move(Window& window, Int32 x, Int32 y) {
    auto keepAlive = window.shared_from_this();
    if (window.mMousePressed) {
        Guarded([&] { window.Event_MouseDrag(x, y); });
    } else {
        Guarded([&] { window.Event_MouseMove(x, y); });
    }
}

void WindowDispatch::Release(Window& window, Int32 x, Int32 y) {
    if (!window.mMousePressed) return;
    auto keepAlive = window.shared_from_this();
    window.mMousePressed = false;
    Guarded([&] { window.Event_MouseUp(x, y); });
}

bool WindowDispatch::Wheel(Window& window, Int32 x, Int32 y, Int32 deltaX, Int32 deltaY) {
    auto keepAlive = window.shared_from_this();
    bool consumed = false;
    Guarded([&] { consumed = window.Event_MouseWheel(x, y, deltaX, deltaY); });
    return consumed;
}

void WindowDispatch::ContextMenu(Window& window, Int32 x, Int32 y, QPoint global) {
    auto keepAlive = window.shared_from_this();
    auto root = std::make_shared<MenuItem>();
    bool show = false;
    Guarded([&] { show = window.Event_ConstructContextualMenu(*root, x, y); });
    if (!show || root->Count() == 0) return;
    const Ref<MenuItem> chosen = RunMenu(*root, global, &window.Widget());
    if (!chosen) return;
    Guarded([&] { window.Event_ContextualMenuAction(*chosen); });
}

}  // namespace kivra::framework::detail
