#include <QDesktopServices>
#include <QUrl>

#include "framework/dialogs/Dialogs.h"
#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

void ShowURL(const std::string& url) {
    if (auto& seams = detail::Seams(); seams.dialogsScripted) {
        seams.showURLLog.push_back(url);
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
