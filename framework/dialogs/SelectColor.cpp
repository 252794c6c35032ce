#include <QApplication>
#include <QColor>
#include <QColorDialog>

#include "framework/dialogs/Dialogs.h"
#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

bool SelectColor(Color& c, const std::string& prompt) {
    auto& seams = detail::Seams();
    if (seams.dialogsScripted) {
        seams.selectColorLog.push_back({c, prompt});
        auto& answers = seams.colorAnswers;
        // A script that has run dry answers like a user who cancels.
        if (answers.empty()) return false;
        const testing::ColorAnswer answer = answers.front();
        answers.pop_front();
        if (!answer.confirm) return false;
        c = answer.color;
        return true;
    }

    // Qt's own dialog, so it looks and behaves the same on every desktop.
    QColorDialog dialog(QColor(c.Red(), c.Green(), c.Blue()), QApplication::activeWindow());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QString::fromStdString(prompt));
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QColor picked = dialog.selectedColor();
    if (!picked.isValid()) return false;
    c = RGB(picked.red(), picked.green(), picked.blue());
    return true;
}

}  // namespace kivra::framework
