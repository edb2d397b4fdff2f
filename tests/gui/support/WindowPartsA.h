#pragma once

// More of the main window as a user meets it, for the tests of its menus, tool bar, file
// commands, recent list, font and backups.
#include "tests/gui/support/MainWindowFixture.h"

#include <QApplication>
#include <QFontDialog>
#include <QMenu>
#include <QTimer>

namespace parts {

// A widget or menu of the window by its object name; a missing one ends the test program, as
// the fixture's lookups do, so that a renamed part is never taken for an absent state.
template <typename T> T *find(const TFormMain *window, const char *name) {
    auto *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// Chooses an entry of the File menu as the user does: the menu opens first (Backup and Restore
// look at the disk as it opens), then the entry is clicked. False when the entry was disabled,
// so that nothing happened.
inline bool chooseFromFileMenu(const TFormMain *window, const char *name) {
    QMenu *file = find<QMenu>(window, "mnuFile");
    file->popup(QPoint(0, 0));
    file->hide();
    QAction *entry = fixture::action(window, name);
    const bool enabled = entry->isEnabled();
    entry->trigger();
    return enabled;
}

// The font the Font dialog shows as it opens: File > Font with the real dialog, which is read
// and cancelled. Every other prompt keeps its answers from the test.
inline QFont fontDialogShows(const TFormMain *window) {
    QFont shown;
    bool seen = false;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QFontDialog *>(top);
            if (dialog && dialog->isVisible()) {
                shown = dialog->currentFont();
                seen = true;
                look.stop();
                dialog->reject();
                return;
            }
        }
    });
    look.start();
    marlix::Prompts::setTestMode(false);
    fixture::trigger(window, "mnuFont");
    marlix::Prompts::setTestMode(true);
    if (!seen)
        qFatal("File > Font showed no font dialog");
    return shown;
}

// What the Font dialog shows for a font: a family this machine lacks shows as another.
inline QFont asFontDialogShows(const QFont &font) {
    QFontDialog dialog;
    dialog.setCurrentFont(font);
    return dialog.currentFont();
}

} // namespace parts
