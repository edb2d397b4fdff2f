#pragma once

// A real main window in a throw-away program folder that holds the shipped language tables,
// with every prompt answered by the test.
#include "app/PageControl.h"
#include "app/frmMain.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCoreApplication>
#include <memory>

namespace fixture {

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
    int pages() const { return window->tabControl->pageCount(); }
    TTabSheet *active() const { return window->tabControl->ActivePage(); }
    int activeSlot() const { return active() ? active()->Tag : -1; }
    TAdvEdit *editor() const { return window->activeEditor(); }
    QString caption(int index) const { return window->tabControl->page(index)->caption(); }
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
