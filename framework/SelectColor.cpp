#include <QApplication>
#include <QColor>
#include <QColorDialog>

#include <deque>
#include <utility>

#include "framework/Dialogs.h"
#include "framework/Testing.h"
#include "framework/detail/DialogState.h"

namespace kivra::framework {

namespace {

std::deque<testing::ColorAnswer>& ScriptedColors() {
    static std::deque<testing::ColorAnswer> answers;
    return answers;
}

}  // namespace

bool SelectColor(Color& c, const std::string& prompt) {
    if (detail::DialogsScripted()) {
        testing::SelectColorLog().push_back({c, prompt});
        auto& answers = ScriptedColors();
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

namespace testing {

void ScriptSelectColor(std::vector<ColorAnswer> answers) {
    ScriptedColors().assign(std::make_move_iterator(answers.begin()),
                            std::make_move_iterator(answers.end()));
}

std::vector<SelectColorCall>& SelectColorLog() {
    static std::vector<SelectColorCall> log;
    return log;
}

}  // namespace testing

}  // namespace kivra::framework
