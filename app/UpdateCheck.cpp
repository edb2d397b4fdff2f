#include "app/UpdateCheck.h"

#include "core/common/Error.h"
#include "platform/ErrorDisplay.h"
#include "platform/HttpGet.h"
#include "core/platform/ReplyRules.h"
#include "core/prefs/PreferenceFiles.h"

#include <QWidget>

namespace marlix {

namespace {
bool checkRunning = false;
}

bool UpdateCheck::run(QWidget *parent, const QString &ownVersion, QWidget *news) {
    // The request waits in a local event loop; a timer tick or a second click meanwhile must
    // not start a second request on top of the first.
    if (checkRunning)
        return false;
    checkRunning = true;
    const HttpResult result =
        HttpGet::get(updateServerPage(QStringLiteral("/version.html")), VersionReplyCap);
    checkRunning = false;

    switch (result.kind) {
    case HttpResult::ConnectionFailed:
        showMessage(parent, QStringLiteral("Unable to communicate with Update Server"));
        return false;
    case HttpResult::HttpError:
        showError(parent, result.statusLine);
        return false;
    case HttpResult::Ok:
        break;
    }
    // Whole-string comparison, exact: a trailing line end is a difference, and so is a reply
    // too long to be a version text.
    if (!result.capped && QString::fromLatin1(result.body) == ownVersion)
        return false;
    if (news) {
        news->show();
        news->raise();
    }
    return true;
}

bool UpdateCheck::runAutomatic(QWidget *parent, const QString &ownVersion, QWidget *news,
                               const QString &programFolder) {
    if (!automaticCheckEnabled(programFolder))
        return false;
    run(parent, ownVersion, news);
    return true;
}

bool UpdateCheck::automaticCheckEnabled(const QString &programFolder) {
    PreferenceFiles files;
    files.setFolder(programFolder);
    GeneralOptions options;
    try {
        files.loadOptions(options);
    } catch (const Error &) {
        // An unreadable options file leaves the option as it stands before any file: on.
    }
    return options.autoUpdate;
}

} // namespace marlix
