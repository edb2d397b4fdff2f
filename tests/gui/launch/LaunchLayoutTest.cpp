// The compile-and-launch dialog as it is built: every control's parent, place, size and
// caption, and its settings file with names beyond Latin-1.
#include "launch/frmLaunch.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

class LaunchLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void controlsStandWhereTheyBelong() {
        TFrmLaunch d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Compile and Launch"));
        QCOMPARE(d.size(), QSize(376, 354));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(!(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(d.font().family(), QStringLiteral("Verdana"));
        QCOMPARE(d.font().pixelSize(), 11);

        struct Place {
            QWidget *widget;
            QWidget *parent;
            QRect rect; // an empty size: a label, only its place is fixed
            const char *caption;
        };
        const QList<Place> places{
            {d.imgBackground, &d, {0, 0, 376, 354}, ""},
            {d.pnlArchive, &d, {8, 8, 361, 169}, ""},
            {d.Label3, d.pnlArchive, {8, 4, 0, 0}, "RFA Packer Path"},
            {d.txtRFAPath, d.pnlArchive, {8, 20, 321, 21}, ""},
            {d.btnRFAPath, d.pnlArchive, {328, 20, 25, 21}, "..."},
            {d.chkAI, d.pnlArchive, {8, 48, 97, 17}, "AI"},
            {d.chkAiMeshes, d.pnlArchive, {8, 64, 97, 17}, "AiMeshes"},
            {d.chkAnimations, d.pnlArchive, {8, 80, 97, 17}, "Animations"},
            {d.chkFont, d.pnlArchive, {8, 96, 97, 17}, "Font"},
            {d.chkMenu, d.pnlArchive, {128, 48, 97, 17}, "Menu"},
            {d.chkObjects, d.pnlArchive, {128, 64, 97, 17}, "Objects"},
            {d.chkShaders, d.pnlArchive, {128, 80, 97, 17}, "Shaders"},
            {d.chkSound, d.pnlArchive, {128, 96, 97, 17}, "Sound"},
            {d.chkStandardmesh, d.pnlArchive, {248, 48, 105, 17}, "Standardmesh"},
            {d.chkTexture, d.pnlArchive, {248, 64, 97, 17}, "Texture"},
            {d.chkTreeMesh, d.pnlArchive, {248, 80, 97, 17}, "TreeMesh"},
            {d.Label1, d.pnlArchive, {8, 116, 0, 0}, "Achive Source/Destination Path (mod path)"},
            {d.txtArchivePath, d.pnlArchive, {8, 132, 321, 21}, ""},
            {d.btnArchivePath, d.pnlArchive, {328, 132, 25, 21}, "..."},
            {d.pnlLaunch, &d, {8, 184, 361, 113}, ""},
            {d.Label4, d.pnlLaunch, {8, 12, 0, 0}, "BF1942 Path"},
            {d.txtBFPath, d.pnlLaunch, {8, 28, 321, 21}, ""},
            {d.btnBFPath, d.pnlLaunch, {328, 28, 25, 21}, "..."},
            {d.Label2, d.pnlLaunch, {8, 60, 0, 0}, "BF1942 Launch Parameters"},
            {d.txtParameters, d.pnlLaunch, {8, 76, 345, 21}, "-game"},
            {d.prgCompile, &d, {8, 304, 361, 9}, ""},
            {d.btnCompile, &d, {8, 320, 361, 25}, "Compile and Run"},
        };
        for (const Place &p : places) {
            QCOMPARE(p.widget->parentWidget(), p.parent);
            if (p.rect.isEmpty())
                QCOMPARE(p.widget->pos(), p.rect.topLeft());
            else
                QCOMPARE(p.widget->geometry(), p.rect);
            QString caption;
            if (auto *b = qobject_cast<QAbstractButton *>(p.widget))
                caption = b->text();
            else if (auto *l = qobject_cast<QLabel *>(p.widget))
                caption = l->text();
            else if (auto *e = qobject_cast<QLineEdit *>(p.widget))
                caption = e->text();
            QCOMPARE(caption, QString::fromLatin1(p.caption));
        }
        // The background lies behind everything else.
        QCOMPARE(d.children().indexOf(d.imgBackground), 0);
        for (QPushButton *button : {d.btnRFAPath, d.btnArchivePath, d.btnBFPath, d.btnCompile}) {
            QVERIFY(button->isFlat());
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(d.btnCompile->palette().color(QPalette::ButtonText), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(d.prgCompile->minimum(), 0);
        QCOMPARE(d.prgCompile->maximum(), 11);
        QCOMPARE(d.pnlArchive->frameShadow(), QFrame::Sunken);
        QCOMPARE(d.pnlLaunch->frameShadow(), QFrame::Sunken);
    }

    // Lines 1 to 3 name files and folders: the file system's bytes, so any name survives.
    void settingsKeepCyrillicAndAccentedNames() {
        marlix::Prompts::setTestMode(true);
        marlix::Prompts::reset();
        TempFolder folder;
        TFrmLaunch d;
        d.ProgramFolder = folder.path();
        const QString packer = QString::fromUtf8("/инструменты/упаковщик");
        const QString mod = QString::fromUtf8("/моды/Élan/");
        const QString game = QString::fromUtf8("/jeux/Bataille/bf1942.exe");
        d.txtRFAPath->setText(packer);
        d.txtArchivePath->setText(mod);
        d.txtBFPath->setText(game);
        d.txtParameters->setText(QStringLiteral("-game Elan"));
        d.show();
        d.close();
        QCOMPARE(folder.read("compilepref.ini"),
                 QFile::encodeName(packer) + "\r\n" + QFile::encodeName(mod) + "\r\n" +
                     QFile::encodeName(game) + "\r\n-game Elan\r\n");
        for (QLineEdit *box : {d.txtRFAPath, d.txtArchivePath, d.txtBFPath})
            box->clear();
        d.show();
        QCOMPARE(d.txtRFAPath->text(), packer);
        QCOMPARE(d.txtArchivePath->text(), mod);
        QCOMPARE(d.txtBFPath->text(), game);
        d.close();
        QVERIFY(marlix::Prompts::shown().isEmpty());
    }
};

QTEST_MAIN(LaunchLayoutTest)
#include "LaunchLayoutTest.moc"
