#pragma once

#include <QString>

class QWidget;

namespace marlix {

// The update check: asks the update server for /version.html and shows the news window when
// the whole reply differs from the program's own version text.
class UpdateCheck {
public:
    // Runs one check. Connection failures show "Unable to communicate with Update Server"; an
    // HTTP error status goes to the general error display. A check asked for while another is
    // still waiting for its answer is dropped. Returns true when the news window was shown.
    static bool run(QWidget *parent, const QString &ownVersion, QWidget *news);

    // The check at start: runs the check above only while the option below is on. Returns
    // whether a request was made.
    static bool runAutomatic(QWidget *parent, const QString &ownVersion, QWidget *news,
                             const QString &programFolder);

    // The check at start runs only while "Check for Updates Automatically" (line 4 of
    // marlix.ini) is on; with no file, or no such line, it is on.
    static bool automaticCheckEnabled(const QString &programFolder);
};

} // namespace marlix
