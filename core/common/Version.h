#pragma once

#include <QString>

namespace marlix {

// The program's version as the project's build defines it, e.g. "3.0.3.0": shown in the main
// window, compared with the update server's answer, and part of the window title.
QString versionText();
// The main window's title; a later start finds the running window by it.
QString mainWindowTitle();

} // namespace marlix
