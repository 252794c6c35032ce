#include "framework/app/Application.h"

#include "framework/app/DockItem.h"
#include "framework/app/MenuBar.h"
#include "framework/app/detail/MenuBarInstaller.h"

namespace kivra::framework {

Application::Application() = default;
Application::~Application() = default;

bool Application::Event_UnhandledException(const RuntimeException&) { return false; }

void Application::MenuBar(const Ref<framework::MenuBar>& bar) {
    mMenuBar = bar;
    detail::InstallMenuBar(bar);
}

void Application::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    mMenuHandlers[itemName] = std::move(handler);
}

bool Application::HandleMenuItem(const std::string& itemName) {
    auto it = mMenuHandlers.find(itemName);
    if (it == mMenuHandlers.end() || !it->second) return false;
    return it->second();
}

Ref<framework::DockItem> Application::DockItem() {
    if (!mDockItem) mDockItem = New<framework::DockItem>();
    return mDockItem;
}

Int32 Application::MajorVersion() const { return KIVRA_MAJOR_VERSION; }
Int32 Application::MinorVersion() const { return KIVRA_MINOR_VERSION; }
Int32 Application::BugVersion() const { return KIVRA_BUG_VERSION; }
Int32 Application::StageCode() const { return KIVRA_STAGE_CODE; }
Int32 Application::NonReleaseVersion() const { return KIVRA_NON_RELEASE_VERSION; }

}  // namespace kivra::framework
