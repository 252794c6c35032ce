#include "framework/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <functional>
#include <utility>

#include "framework/Testing.h"
#include "framework/detail/DialogState.h"
#include "framework/detail/RuntimeState.h"

namespace kivra::framework {

namespace {
bool gScripted = false;
std::function<void()> gWhileNextBoxIsUp;
}

namespace detail {
bool DialogsScripted() { return gScripted; }
}  // namespace detail

namespace testing {

void ScriptDialogs(bool on) { gScripted = on; }

std::vector<std::string>& MsgBoxLog() {
    static std::vector<std::string> log;
    return log;
}

void WhileNextMsgBoxIsUp(std::function<void()> action) { gWhileNextBoxIsUp = std::move(action); }

}  // namespace testing

void MsgBox(const std::string& text) {
    if (detail::State().quietDialogs) {
        std::fprintf(stderr, "kivra: %s\n", text.c_str());
        return;
    }
    if (gScripted) {
        testing::MsgBoxLog().push_back(text);
        if (auto action = std::exchange(gWhileNextBoxIsUp, nullptr)) action();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kivra"), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace kivra::framework
