// "Compile and Run" out of the box: the program folder holds the real marlix-rfapack, the
// dialog offers it when nothing was saved, and a small mod comes out as a readable archive.
#include "core/archive/RfaReader.h"
#include "launch/frmLaunch.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using marlix::Prompts;

class BundledPackerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> tmp;
    QString program; // a program folder holding only the packer, as installed beside marlix

private slots:
    void init() {
        tmp = std::make_unique<TempFolder>();
        program = tmp->path() + "prog/";
        QDir().mkpath(program);
        QVERIFY(QFile::copy(RFAPACK_EXE, program + "marlix-rfapack"));
        qputenv("MARLIX_GAME_LOG", tmp->file("game.log").toLocal8Bit());
        Prompts::setTestMode(true);
        Prompts::reset();
    }
    void cleanup() { tmp.reset(); }

    void emptyPackerBoxOffersTheBundledPackerAndPacksAMod() {
        TFrmLaunch dlg;
        dlg.ProgramFolder = program;
        dlg.show();
        QCOMPARE(dlg.txtRFAPath->text(), program + "marlix-rfapack");

        const QString mod = tmp->path() + "My Mod/";
        tmp->write("My Mod/objects/Tanks/Tank.con", "objectTemplate.create Tank x\r\n");
        tmp->write("My Mod/objects/init.con", "rem init\r\n");
        dlg.txtArchivePath->setText(mod);
        dlg.txtBFPath->setText(GAME_STANDIN);
        dlg.btnCompile->click();

        // The archives folder did not exist: the packer makes it.
        marlix::RfaReader archive(mod + "archives/objects.rfa");
        QCOMPARE(archive.entries().size(), 2);
        QCOMPARE(archive.entries().at(0).name, QString("objects/init.con"));
        QCOMPARE(archive.read(1), QByteArray("objectTemplate.create Tank x\r\n"));
        QVERIFY(!QFile::exists(program + "compile.bat"));
        QVERIFY(!QFile::exists(program + "compile.ini"));
        QVERIFY(QFile::exists(tmp->file("game.log")));
        dlg.close();
    }

    void savedOrTypedPackerStaysAsItIs() {
        tmp->write("prog/compilepref.ini", "/opt/other/packer\r\n/mods/\r\n/g/bf1942\r\n-game\r\n");
        TFrmLaunch saved;
        saved.ProgramFolder = program;
        saved.show();
        QCOMPARE(saved.txtRFAPath->text(), QString("/opt/other/packer"));
        saved.hide();

        QFile::remove(program + "compilepref.ini");
        TFrmLaunch typed;
        typed.ProgramFolder = program;
        typed.txtRFAPath->setText("wine packer.exe");
        typed.show();
        QCOMPARE(typed.txtRFAPath->text(), QString("wine packer.exe"));
        typed.hide();
    }
};

QTEST_MAIN(BundledPackerTest)
#include "BundledPackerTest.moc"
