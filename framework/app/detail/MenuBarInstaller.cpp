#include "framework/app/detail/MenuBarInstaller.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include <array>
#include <string_view>
#include <vector>

#include "framework/app/Application.h"
#include "framework/app/MenuItem.h"
#include "framework/app/Runtime.h"
#include "framework/app/detail/BarWidthKeeper.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowWidget.h"

namespace kivra::framework::detail {

namespace {

constexpr const char* kBarObjectName = "kivraMenuBar";

struct ItemAction {
    Ref<MenuItem> item;
    QPointer<QAction> action;
};

// The installed bar: one QAction per item, shared by every window, so that a
// shortcut works in whichever window is active.
struct Installed {
    Ref<MenuBar> bar;
    QPointer<QObject> owner;  // parent of the actions; a child of the application
    std::vector<ItemAction> actions;
};

Installed& Current() {
    static Installed installed;
    return installed;
}

enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

EditCommand EditCommandOf(const std::string& name) {
    static constexpr std::array<std::pair<std::string_view, EditCommand>, 6> commands{{
        {"EditUndo", EditCommand::Undo},
        {"EditCut", EditCommand::Cut},
        {"EditCopy", EditCommand::Copy},
        {"EditPaste", EditCommand::Paste},
        {"EditClear", EditCommand::Clear},
        {"EditSelectAll", EditCommand::SelectAll},
    }};
    for (const auto& [itemName, command] : commands) {
        if (itemName == name) return command;
    }
    return EditCommand::None;
}

bool Changes(EditCommand command) {
    return command == EditCommand::Undo || command == EditCommand::Cut || command == EditCommand::Paste ||
           command == EditCommand::Clear;
}

// The text field that has the keyboard focus, and whether it can be changed.
struct FocusedField {
    QLineEdit* line = nullptr;
    QTextEdit* text = nullptr;
    QPlainTextEdit* plain = nullptr;
    bool Any() const { return line || text || plain; }
    bool Editable() const {
        if (line) return !line->isReadOnly();
        if (text) return !text->isReadOnly();
        return plain && !plain->isReadOnly();
    }
};

FocusedField Focused() {
    FocusedField field;
    for (QWidget* w = QApplication::focusWidget(); w && !field.Any(); w = w->parentWidget()) {
        field.line = qobject_cast<QLineEdit*>(w);
        field.text = qobject_cast<QTextEdit*>(w);
        field.plain = qobject_cast<QPlainTextEdit*>(w);
        if (w->isWindow()) break;
    }
    return field;
}

bool EditEnabled(EditCommand command) {
    const FocusedField field = Focused();
    return field.Any() && (!Changes(command) || field.Editable());
}

void RunEditCommand(EditCommand command) {
    if (!EditEnabled(command)) return;
    const FocusedField f = Focused();
    // The three kinds of field share the names of these commands.
    const auto each = [&f](auto&& run) {
        if (f.line) run(*f.line);
        if (f.text) run(*f.text);
        if (f.plain) run(*f.plain);
    };
    switch (command) {
        case EditCommand::Undo:
            each([](auto& field) { field.undo(); });
            break;
        case EditCommand::Cut:
            each([](auto& field) { field.cut(); });
            break;
        case EditCommand::Copy:
            each([](auto& field) { field.copy(); });
            break;
        case EditCommand::Paste:
            each([](auto& field) { field.paste(); });
            break;
        case EditCommand::Clear:
            if (f.line && f.line->hasSelectedText()) f.line->del();
            if (f.text) f.text->textCursor().removeSelectedText();
            if (f.plain) f.plain->textCursor().removeSelectedText();
            break;
        case EditCommand::SelectAll:
            each([](auto& field) { field.selectAll(); });
            break;
        case EditCommand::None:
            break;
    }
}

void UpdateEnabled() {
    for (const auto& entry : Current().actions) {
        if (!entry.action || entry.action->isSeparator()) continue;
        const EditCommand command = EditCommandOf(entry.item->Name());
        entry.action->setEnabled(entry.item->Enabled() && (command == EditCommand::None || EditEnabled(command)));
    }
}

// The application's handler for the item's name first, then what the item does
// of its own, then, for an editing command nobody handled, the focused field.
void Choose(const Ref<MenuItem>& item) {
    Guarded([&item] {
        const std::string name = item->Name();
        if (Ref<Application> app = GetAppObject(); app && app->HandleMenuItem(name)) return;
        if (item->Event_Action()) return;
        RunEditCommand(EditCommandOf(name));
    });
}

QKeySequence ShortcutOf(const std::string& shortcut) {
    // The Command key is Ctrl here.
    QString text = QString::fromStdString(shortcut);
    text.replace(QLatin1String("Cmd+"), QLatin1String("Ctrl+"), Qt::CaseInsensitive);
    return QKeySequence::fromString(text, QKeySequence::PortableText);
}

void MakeActions(const Ref<MenuItem>& menu, Installed& installed) {
    for (Int32 i = 0; i < menu->Count(); ++i) {
        Ref<MenuItem> item = menu->Item(i);
        if (item->Count() > 0) {
            MakeActions(item, installed);
            continue;
        }
        // A separator's "-" is no caption: styles draw a separator's text beside its line.
        const QString text = item->IsSeparator() ? QString() : QString::fromStdString(item->Text());
        auto* action = new QAction(text, installed.owner);
        action->setMenuRole(QAction::NoRole);
        if (item->IsSeparator()) {
            action->setSeparator(true);
        } else {
            action->setShortcut(ShortcutOf(item->KeyboardShortcut()));
            QObject::connect(action, &QAction::triggered, action, [item] { Choose(item); });
        }
        installed.actions.push_back({item, action});
    }
}

QAction* ActionOf(const MenuItem& item) {
    for (const auto& entry : Current().actions) {
        if (entry.item.get() == &item) return entry.action;
    }
    return nullptr;
}

void FillMenu(QMenu& qmenu, const MenuItem& menu) {
    QObject::connect(&qmenu, &QMenu::aboutToShow, &qmenu, [] { UpdateEnabled(); });
    for (Int32 i = 0; i < menu.Count(); ++i) {
        Ref<MenuItem> item = menu.Item(i);
        if (item->Count() > 0) {
            FillMenu(*qmenu.addMenu(QString::fromStdString(item->Text())), *item);
        } else if (QAction* action = ActionOf(*item)) {
            qmenu.addAction(action);
        }
    }
}

QMenuBar* BarOf(const QWidget& widget) {
    return widget.findChild<QMenuBar*>(QLatin1String(kBarObjectName), Qt::FindDirectChildrenOnly);
}

void Detach(QWidget& widget) { delete BarOf(widget); }

// The desktop's global menu, as Qt itself finds it on Linux: the registrar on
// the session bus. Asked once.
bool GlobalMenuAvailable() {
    static const bool available = [] {
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        return bus && bus->isServiceRegistered(QStringLiteral("com.canonical.AppMenu.Registrar")).value();
    }();
    return available;
}

}  // namespace

void InstallMenuBar(const Ref<MenuBar>& bar) {
    auto& installed = Current();
    for (const auto& window : OpenWindows()) Detach(window->Widget());
    delete installed.owner;  // takes the actions out of every window
    installed = Installed{};
    if (!bar || !QCoreApplication::instance()) return;

    installed.bar = bar;
    installed.owner = new QObject(QCoreApplication::instance());
    MakeActions(bar, installed);
    QObject::connect(qApp, &QApplication::focusChanged, installed.owner, [] { UpdateEnabled(); });
    UpdateEnabled();
    for (const auto& window : OpenWindows()) AttachMenuBar(*window);
}

void AttachMenuBar(Window& window) {
    auto& installed = Current();
    if (!installed.bar) return;
    QWidget& widget = window.Widget();
    Detach(widget);
    for (const auto& entry : installed.actions) {
        if (entry.action && !entry.action->isSeparator()) widget.addAction(entry.action);
    }

    // A window that shows no bar of its own needs one only to hand it to a
    // global menu; a menu bar costs the clock its icons and menus in memory.
    if (window.Frame() != 0 && !GlobalMenuAvailable()) return;
    auto* qbar = new QMenuBar(&widget);
    qbar->setObjectName(QLatin1String(kBarObjectName));
    for (Int32 i = 0; i < installed.bar->Count(); ++i) {
        Ref<MenuItem> menu = installed.bar->Item(i);
        FillMenu(*qbar->addMenu(QString::fromStdString(menu->Text())), *menu);
    }
    // Where the desktop has a global menu, every window hands it the bar.
    // Otherwise only document windows show it, above their client area.
    if (qbar->isNativeMenuBar()) return;
    if (window.Frame() != 0) {
        delete qbar;
        return;
    }
    qbar->setGeometry(0, 0, widget.width(), qbar->sizeHint().height());
    widget.installEventFilter(new BarWidthKeeper(qbar));
    qbar->show();
}

int MenuBarHeight(const Window& window) {
    const QMenuBar* bar = BarOf(window.Widget());
    return bar && !bar->isNativeMenuBar() ? bar->sizeHint().height() : 0;
}

}  // namespace kivra::framework::detail

namespace kivra::framework::testing {

bool ChooseMenuItem(const std::string& name) {
    auto& installed = detail::Current();
    if (!installed.bar) return false;
    Ref<MenuItem> item = installed.bar->Child(name);
    if (!item) return false;
    QAction* action = detail::ActionOf(*item);
    if (!action || action->isSeparator()) return false;
    detail::UpdateEnabled();
    if (!action->isEnabled()) return false;
    action->trigger();
    return true;
}

}  // namespace kivra::framework::testing
