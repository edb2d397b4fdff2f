#pragma once

// The main window's helpers and panels, found in its object tree as a user's tools would
// find them, so that the tests do not depend on the window's members.
#include "app/IndexTools.h"
#include "app/ResultsPanel.h"
#include "app/frmMain.h"

#include <QMenu>
#include <QTimer>

namespace fixture {

inline marlix::ResultsPanel *results(const TFormMain *window) {
    auto *panel = window->findChild<marlix::ResultsPanel *>(QStringLiteral("resultsPanel"));
    if (!panel)
        qFatal("the window has no results panel");
    return panel;
}

// The mod index's tools: the index, whether a build runs, and the build's signals.
inline marlix::IndexTools *indexTools(const TFormMain *window) {
    auto *tools = window->findChild<marlix::IndexTools *>();
    if (!tools)
        qFatal("the window has no index tools");
    return tools;
}

inline QMenu *menu(const TFormMain *window, const char *name) {
    auto *found = window->findChild<QMenu *>(QLatin1String(name));
    if (!found)
        qFatal("no menu named %s", name);
    return found;
}

// The timer of the update check made at start.
inline QTimer *updateTimer(const TFormMain *window) {
    auto *timer = window->findChild<QTimer *>(QStringLiteral("tmrUpdate"));
    if (!timer)
        qFatal("the window has no update timer");
    return timer;
}

// marlix.ini with every general option at its default but the scheme: light text on a dark
// background.
inline const QByteArray darkSchemeOptions = "1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n";

} // namespace fixture
