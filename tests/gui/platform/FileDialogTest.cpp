#include "launch/frmLaunch.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace marlix;

// The real file dialog, as the user works it: open a folder, accept the name in the box.
class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void theModFolderBrowseAcceptsItsPlaceholderName();
};

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
