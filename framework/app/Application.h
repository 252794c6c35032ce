#pragma once

#include <functional>
#include <map>
#include <string>

#include "framework/values/Ref.h"
#include "framework/values/RuntimeException.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class DockItem;
class MenuBar;

// The application object: one per process.
class Application {
public:
    Application();
    virtual ~Application();

    // An exception no handler caught; true when the program dealt with it.
    virtual bool Event_UnhandledException(const RuntimeException& error);

    Ref<framework::MenuBar> MenuBar() const { return mMenuBar; }
    void MenuBar(const Ref<framework::MenuBar>& bar);
    // The handler runs when the user chooses the menu item of that Name.
    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    // Runs the handler registered for the item's name; false when there is none.
    bool HandleMenuItem(const std::string& itemName);

    Ref<framework::DockItem> DockItem();

    Int32 MajorVersion() const;
    Int32 MinorVersion() const;
    Int32 BugVersion() const;
    Int32 StageCode() const;
    Int32 NonReleaseVersion() const;

private:
    Ref<framework::MenuBar> mMenuBar;
    std::map<std::string, std::function<bool()>> mMenuHandlers;
    Ref<framework::DockItem> mDockItem;
};

}  // namespace kivra::framework
