#pragma once

// A real main window in a throw-away program folder that holds the shipped language tables,
// with every prompt answered by the test.
#include "app/PageControl.h"
#include "app/frmMain.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QAction>
#include <QCoreApplication>
#include <QToolButton>
#include <memory>

namespace fixture {

// The window's parts as a user meets them: by their object names.
inline marlix::PageControl *tabs(const TFormMain *window) {
    return window->findChild<marlix::PageControl *>(QStringLiteral("tabControl"));
}
inline QAction *action(const TFormMain *window, const char *name) {
    auto *entry = window->findChild<QAction *>(QLatin1String(name));
    if (!entry)
        qFatal("no menu entry named %s", name);
    return entry;
}
inline void trigger(const TFormMain *window, const char *name) {
    action(window, name)->trigger();
}
inline QToolButton *button(const TFormMain *window, const char *name) {
    auto *found = window->findChild<QToolButton *>(QLatin1String(name));
    if (!found)
        qFatal("no tool button named %s", name);
    return found;
}

// The program folder of the build, with the language tables, pictures and defaults shipped
// beside the program, the program itself left out.
inline void copyShippedData(const TempFolder &folder) {
    folder.copyFrom(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"),
                    QStringLiteral("marlix"));
}

struct MainWindow {
    TempFolder folder;
    std::unique_ptr<TFormMain> window;

    MainWindow() {
        marlix::Prompts::setTestMode(true);
        marlix::Prompts::reset();
        copyShippedData(folder);
    }
    TFormMain *open() {
        window = std::make_unique<TFormMain>(nullptr, folder.path());
        window->commandLine = {QStringLiteral("marlix")};
        return window.get();
    }
    int pages() const { return tabs(window.get())->pageCount(); }
    TTabSheet *active() const { return tabs(window.get())->ActivePage(); }
    int activeSlot() const { return active() ? active()->Tag : -1; }
    TAdvEdit *editor() const { return window->activeEditor(); }
    QString caption(int index) const { return tabs(window.get())->page(index)->caption(); }
    // Writes a script into the folder and returns its full path.
    QString script(const QString &name, const QByteArray &bytes) const {
        folder.write(name, bytes);
        return folder.file(name);
    }
};

inline marlix::FileAnswer chosen(const QString &fileName) {
    return marlix::FileAnswer{true, fileName, 1, QString(), {}};
}
inline marlix::FileAnswer cancelled() {
    return marlix::FileAnswer{false, QString(), 1, QString(), {}};
}

} // namespace fixture
