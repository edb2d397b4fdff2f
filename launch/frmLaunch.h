#pragma once

#include "platform/FixedDialog.h"
#include "platform/Prompts.h"

#include <QList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace marlix {
class ChildRun;
class PackerConsole;
} // namespace marlix

// The compile-and-launch dialog: packs the ticked category folders of a mod through the
// external packer, then starts the game and waits for it.
class TFrmLaunch : public marlix::FixedDialog {
    Q_OBJECT
public:
    explicit TFrmLaunch(QWidget *parent = nullptr);

    QLabel *imgBackground;
    QFrame *pnlArchive;
    QLabel *Label3;
    QLineEdit *txtRFAPath;
    QPushButton *btnRFAPath;
    QCheckBox *chkAI, *chkAiMeshes, *chkAnimations, *chkFont, *chkMenu, *chkObjects, *chkShaders,
        *chkSound, *chkStandardmesh, *chkTexture, *chkTreeMesh;
    QLabel *Label1;
    QLineEdit *txtArchivePath;
    QPushButton *btnArchivePath;
    QFrame *pnlLaunch;
    QLabel *Label4;
    QLineEdit *txtBFPath;
    QPushButton *btnBFPath;
    QLabel *Label2;
    QLineEdit *txtParameters;
    QProgressBar *prgCompile;
    QPushButton *btnCompile;
    // The one open dialog shared by the three browse buttons; it keeps its last file name.
    marlix::FileRequest dlgOpen;

    // Where compilepref.ini, compile.bat and compile.ini live; ends in a separator.
    QString ProgramFolder;

    // The category boxes in packing order.
    QList<QCheckBox *> categoryBoxes() const;
    bool running() const { return m_running; }
    // The window that shows what the packer prints while it runs.
    marlix::PackerConsole *packerConsole() const { return m_console; }

    void FormShow() override;
    void FormClose();
    void btnRFAPathClick();
    void btnArchivePathClick();
    void btnBFPathClick();
    void btnCompileClick();
    void PackArchive(const QString &packer, const QString &category);
    void LaunchGame(const QString &game, const QString &parameters);

public slots:
    void done(int result) override;

private:
    QString settingsPath() const;
    bool runBrowse(int filterIndex);
    void compileRun();
    void endRun(const QString &caption);

    marlix::ChildRun *m_child;
    marlix::PackerConsole *m_console;
    bool m_running = false;
    bool m_closeRequested = false;
};

extern TFrmLaunch *FrmLaunch;
