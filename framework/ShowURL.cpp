#include <QDesktopServices>
#include <QUrl>

#include "framework/Dialogs.h"
#include "framework/Testing.h"
#include "framework/detail/DialogState.h"

namespace kivra::framework {

namespace testing {

std::vector<std::string>& ShowURLLog() {
    static std::vector<std::string> log;
    return log;
}

}  // namespace testing

void ShowURL(const std::string& url) {
    if (detail::DialogsScripted()) {
        testing::ShowURLLog().push_back(url);
        return;
    }
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    // Only a well-formed web address goes to the browser: anything else could
    // start some other program registered for its scheme.
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https")))
        return;
    QDesktopServices::openUrl(address);
}

}  // namespace kivra::framework
