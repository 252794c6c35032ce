#include "framework/dialogs/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <utility>

#include "framework/app/detail/RuntimeState.h"
#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

void MsgBox(const std::string& text) {
    if (detail::State().quietDialogs) {
        std::fprintf(stderr, "kivra: %s\n", text.c_str());
        return;
    }
    if (auto& seams = detail::Seams(); seams.dialogsScripted) {
        seams.msgBoxLog.push_back(text);
        if (auto action = std::exchange(seams.whileNextMsgBoxIsUp, nullptr)) action();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kivra"), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace kivra::framework
