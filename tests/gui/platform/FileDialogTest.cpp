#include "launch/frmLaunch.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace marlix;

// The real file dialog, as the user works it: open a folder, accept the name in the box.
class FileDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir userConfig;

private slots:
    void initTestCase();
    void theModFolderBrowseAcceptsItsPlaceholderName();
    void linuxNamesWereHiddenByWindowsFilters();
};

void FileDialogTest::initTestCase() {
    // Before any settings are read: where Qt would keep the user's settings.
    QVERIFY(userConfig.isValid());
    qputenv("XDG_CONFIG_HOME", userConfig.path().toLocal8Bit());
}

namespace {
// Runs a real file dialog on a folder and returns the names it lists there, then cancels it.
QStringList listedNames(const QString &folder, const QString &filter, int filterIndex) {
    FileRequest request;
    request.filter = filter;
    request.filterIndex = filterIndex;
    request.folder = folder;
    QStringList names;
    int ticks = 0;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *files = qobject_cast<QFileDialog *>(top);
            if (!files || !files->isVisible())
                continue;
            auto *view = files->findChild<QListView *>(QStringLiteral("listView"));
            if (!view)
                continue;
            names.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
            // The folder is read in the background: wait until it shows its sure entry.
            if (names.contains(QStringLiteral("sub")) || ++ticks > 100)
                files->reject();
        }
    });
    driver.start();
    Prompts::setTestMode(false);
    const FileAnswer answer = Prompts::file(nullptr, request);
    Prompts::setTestMode(true);
    names.sort();
    return answer.accepted ? QStringList{QStringLiteral("accepted?")} : names;
}
} // namespace

// "All Files (*.*)" must list names without a dot, "Executable (*.exe)" the scripts marked
// executable; and the dialog writes nothing into the user's own settings.
void FileDialogTest::linuxNamesWereHiddenByWindowsFilters() {
    const TempFolder folder;
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("sub"))));
    for (const char *name : {"Makefile", "notes.txt", "packer.EXE", "wrapper", "init.con"})
        QVERIFY(QFile(folder.file(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    QFile::setPermissions(folder.file(QStringLiteral("wrapper")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString scripts = QStringLiteral(
        "BF1942 Con Files (*.con)|*.con|Con Backup Files (*.bcon)|*.bcon|All Files (*.*)|*.*");
    QCOMPARE(listedNames(folder.path(), scripts, 3),
             QStringList({"Makefile", "init.con", "notes.txt", "packer.EXE", "sub", "wrapper"}));
    QCOMPARE(listedNames(folder.path(), scripts, 1), QStringList({"init.con", "sub"}));
    const QString launch = QStringLiteral("Directory|*.|Executable (*.exe)|*.exe");
    QCOMPARE(listedNames(folder.path(), launch, 2), QStringList({"packer.EXE", "sub", "wrapper"}));
    QVERIFY2(!QFile::exists(userConfig.filePath(QStringLiteral("QtProject.conf"))),
             "the file dialog's history went into the user's settings");
}

// The mod folder is chosen by opening it and accepting the placeholder "[NO FILE REQUIRED]",
// a name that exists nowhere; the dialog must take it instead of reporting a missing file.
void FileDialogTest::theModFolderBrowseAcceptsItsPlaceholderName() {
    Prompts::setTestMode(false);
    const TempFolder folder;
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("MyMod/objects"))));
    TFrmLaunch dialog;
    dialog.ProgramFolder = folder.path();

    bool found = false;
    bool closed = false;
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, this, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *complaint = qobject_cast<QMessageBox *>(top);
                complaint && complaint->isVisible()) {
                complaint->done(QMessageBox::Ok); // the test then fails below
                continue;
            }
            auto *files = qobject_cast<QFileDialog *>(top);
            if (!files || !files->isVisible())
                continue;
            if (!found) {
                found = true;
                files->setDirectory(folder.file(QStringLiteral("MyMod")));
                // Later, so that this tick is over when a complaint runs its own loop.
                QTimer::singleShot(0, files, [files] { static_cast<QDialog *>(files)->accept(); });
            } else {
                closed = true;
                files->reject();
            }
        }
    });
    driver.start();
    dialog.btnArchivePath->click();
    driver.stop();
    Prompts::setTestMode(true);
    QVERIFY(found);
    QVERIFY(!closed);
    QCOMPARE(dialog.txtArchivePath->text(), folder.file(QStringLiteral("MyMod/")));
}

QTEST_MAIN(FileDialogTest)
#include "FileDialogTest.moc"
