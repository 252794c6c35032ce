#pragma once

#include "framework/app/MenuBar.h"
#include "framework/values/Ref.h"

namespace kivra {

// The application's menu bar: File, Edit and Help. It only builds its menus;
// the Help items reach the application by their names, Quit acts through its
// own class, and the Edit items have no handler in the program.
class MenuBar1 : public framework::MenuBar {
public:
    // The one menu bar, made on the first call.
    static framework::Ref<MenuBar1> Instance();
    // Drops the shared instance at shut-down; a later Instance() makes a new one.
    static void Release();

    void Constructor();
    void Untitled0();
    void Untitled1();
    void Untitled2();

private:
    static framework::Ref<MenuBar1> implicitInstance;
};

}  // namespace kivra
