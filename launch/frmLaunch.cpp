#include "launch/frmLaunch.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/common/ProgramFolder.h"
#include "core/launch/CompileRules.h"
#include "launch/JpegImage.h"
#include "launch/PackerConsole.h"
#include "platform/ChildProcess.h"
#include "platform/GuardedConnect.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

TFrmLaunch *FrmLaunch = nullptr;

namespace {

QPushButton *flatButton(QWidget *parent, const QString &caption, const QRect &place) {
    auto *button = new QPushButton(caption, parent);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(place);
    return button;
}

QLineEdit *editBox(QWidget *parent, const QRect &place) {
    auto *box = new QLineEdit(parent);
    box->setGeometry(place);
    return box;
}

QLabel *label(QWidget *parent, const QString &caption, int left, int top) {
    auto *text = new QLabel(caption, parent);
    text->move(left, top);
    text->adjustSize();
    return text;
}

QFrame *panel(QWidget *parent, const QRect &place) {
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(place);
    return frame;
}

} // namespace

TFrmLaunch::TFrmLaunch(QWidget *parent)
    : FixedDialog(parent, QStringLiteral("Compile and Launch"), {376, 354}),
      ProgramFolder(marlix::programFolder()) {
    // The captions stand on our own pale picture, not on the desktop's window colour, so they
    // are black whatever colours the desktop uses.
    QPalette captions = palette();
    captions.setColor(QPalette::WindowText, Qt::black);
    captions.setColor(QPalette::ButtonText, Qt::black);
    setPalette(captions);
    imgBackground = new QLabel(this);
    imgBackground->setGeometry(0, 0, 376, 354);
    imgBackground->setScaledContents(true);
    QFile picture(ProgramFolder + QStringLiteral("launchback.jpg"));
    if (picture.open(QIODevice::ReadOnly))
        imgBackground->setPixmap(QPixmap::fromImage(marlix::decodeJpeg(picture.readAll())));

    pnlArchive = panel(this, {8, 8, 361, 169});
    Label3 = label(pnlArchive, QStringLiteral("RFA Packer Path"), 8, 4);
    txtRFAPath = editBox(pnlArchive, {8, 20, 321, 21});
    btnRFAPath = flatButton(pnlArchive, QStringLiteral("..."), {328, 20, 25, 21});
    QCheckBox **boxes[] = {&chkAI,           &chkAiMeshes, &chkAnimations, &chkFont,
                           &chkMenu,         &chkObjects,  &chkShaders,    &chkSound,
                           &chkStandardmesh, &chkTexture,  &chkTreeMesh};
    const auto &categories = marlix::launchCategories();
    for (int i = 0; i < categories.size(); ++i) {
        auto *box = new QCheckBox(QString::fromLatin1(categories[i].caption), pnlArchive);
        box->setGeometry(8 + 120 * (i / 4), 48 + 16 * (i % 4), i == 8 ? 105 : 97, 17);
        *boxes[i] = box;
    }
    chkObjects->setChecked(true);
    Label1 = label(pnlArchive, QStringLiteral("Achive Source/Destination Path (mod path)"), 8, 116);
    txtArchivePath = editBox(pnlArchive, {8, 132, 321, 21});
    btnArchivePath = flatButton(pnlArchive, QStringLiteral("..."), {328, 132, 25, 21});

    pnlLaunch = panel(this, {8, 184, 361, 113});
    Label4 = label(pnlLaunch, QStringLiteral("BF1942 Path"), 8, 12);
    txtBFPath = editBox(pnlLaunch, {8, 28, 321, 21});
    btnBFPath = flatButton(pnlLaunch, QStringLiteral("..."), {328, 28, 25, 21});
    Label2 = label(pnlLaunch, QStringLiteral("BF1942 Launch Parameters"), 8, 60);
    txtParameters = editBox(pnlLaunch, {8, 76, 345, 21});
    txtParameters->setText(QStringLiteral("-game"));

    prgCompile = new QProgressBar(this);
    prgCompile->setGeometry(8, 304, 361, 9);
    prgCompile->setRange(0, 11);
    prgCompile->setValue(0);
    prgCompile->setTextVisible(false);

    btnCompile = flatButton(this, QStringLiteral("Compile and Run"), {8, 320, 361, 25});
    QPalette silver = btnCompile->palette();
    silver.setColor(QPalette::ButtonText, QColor(0xC0, 0xC0, 0xC0));
    btnCompile->setPalette(silver);

    dlgOpen.kind = marlix::FileRequest::Open;
    dlgOpen.filter = QStringLiteral("Directory|*.|Executable (*.exe)|*.exe");
    // The mod folder is accepted with a placeholder name that exists nowhere.
    dlgOpen.nameMustExist = false;

    using marlix::connectGuarded;
    connectGuarded(btnRFAPath, &QPushButton::clicked, this, &TFrmLaunch::btnRFAPathClick);
    connectGuarded(btnArchivePath, &QPushButton::clicked, this, &TFrmLaunch::btnArchivePathClick);
    connectGuarded(btnBFPath, &QPushButton::clicked, this, &TFrmLaunch::btnBFPathClick);
    connectGuarded(btnCompile, &QPushButton::clicked, this, &TFrmLaunch::btnCompileClick);

    m_child = new marlix::ChildRun(this);
    m_console = new marlix::PackerConsole(this);
    connect(m_child, &marlix::ChildRun::output, m_console, &marlix::PackerConsole::append);
}

QList<QCheckBox *> TFrmLaunch::categoryBoxes() const {
    return {chkAI,      chkAiMeshes, chkAnimations,   chkFont,    chkMenu,    chkObjects,
            chkShaders, chkSound,    chkStandardmesh, chkTexture, chkTreeMesh};
}

QString TFrmLaunch::settingsPath() const {
    return marlix::settingsPath(ProgramFolder);
}

void TFrmLaunch::FormShow() {
    if (!QFileInfo::exists(settingsPath())) {
        // Out of the box the packer built with the editor does the job; a typed path stays.
        const QString packer = marlix::bundledPacker(ProgramFolder);
        if (txtRFAPath->text().isEmpty() && QFileInfo(packer).isExecutable())
            txtRFAPath->setText(packer);
        return;
    }
    QLineEdit *boxes[] = {txtRFAPath, txtArchivePath, txtBFPath, txtParameters};
    marlix::readSettings(settingsPath(),
                         [&boxes](int i, const QString &line) { boxes[i]->setText(line); });
}

void TFrmLaunch::FormClose() {
    marlix::writeSettings(settingsPath(), txtRFAPath->text(), txtArchivePath->text(),
                          txtBFPath->text(), txtParameters->text());
}

void TFrmLaunch::done(int result) {
    // A close asked for while the packer or the game runs waits until the run has ended.
    if (m_running) {
        m_closeRequested = true;
        return;
    }
    // A settings file that cannot be written is reported; the dialog still closes.
    marlix::guarded(this, [this] { FormClose(); });
    m_console->hide();
    QDialog::done(result);
}

bool TFrmLaunch::runBrowse(int filterIndex) {
    dlgOpen.filterIndex = filterIndex;
    const marlix::FileAnswer answer = marlix::Prompts::file(this, dlgOpen);
    if (!answer.accepted)
        return false;
    // The shared dialog keeps the whole chosen path in its name box, and its folder.
    marlix::keepFileDialogState(dlgOpen, answer);
    dlgOpen.fileName = answer.fileName;
    return true;
}

void TFrmLaunch::btnRFAPathClick() {
    if (runBrowse(2))
        txtRFAPath->setText(dlgOpen.fileName);
}

void TFrmLaunch::btnArchivePathClick() {
    dlgOpen.fileName = QStringLiteral("[NO FILE REQUIRED]");
    if (runBrowse(1))
        txtArchivePath->setText(marlix::folderPart(dlgOpen.fileName));
}

void TFrmLaunch::btnBFPathClick() {
    dlgOpen.fileName = QStringLiteral("bf1942.exe");
    if (runBrowse(2))
        txtBFPath->setText(dlgOpen.fileName);
}

void TFrmLaunch::btnCompileClick() {
    // While a run waits the button reads "Stop" and ends the child it waits for; a second run
    // would rewrite the two answer files under the first packer.
    if (m_running) {
        m_child->stop();
        return;
    }
    m_running = true;
    const QString caption = btnCompile->text();
    btnCompile->setText(QStringLiteral("Stop"));
    m_console->reset();
    // An error ends the run as well before it goes on to the error display.
    try {
        compileRun();
    } catch (...) {
        endRun(caption);
        throw;
    }
    endRun(caption);
}

void TFrmLaunch::endRun(const QString &caption) {
    btnCompile->setText(caption);
    m_running = false;
    if (m_closeRequested) {
        m_closeRequested = false;
        close();
    }
}

void TFrmLaunch::compileRun() {
    prgCompile->setValue(0);
    QList<bool> ticked;
    for (const QCheckBox *box : categoryBoxes())
        ticked << box->isChecked();
    const QStringList plan = marlix::packPlan(ticked);
    // The bar counts every category, packed or not, so it moves in even steps.
    for (const auto &category : marlix::launchCategories()) {
        const QString name = QString::fromLatin1(category.name);
        if (plan.contains(name))
            PackArchive(txtRFAPath->text(), name);
        prgCompile->setValue(prgCompile->value() + 1);
    }
    LaunchGame(txtBFPath->text(), txtParameters->text());
}

void TFrmLaunch::PackArchive(const QString &packer, const QString &category) {
    const QString batch = ProgramFolder + QStringLiteral("compile.bat");
    const QString answers = ProgramFolder + QStringLiteral("compile.ini");
    marlix::writePathLines(batch, {marlix::batchLine(packer, ProgramFolder)});
    const QString mod = txtArchivePath->text();
    const QString source = marlix::sourceFolder(mod, category);
    if (!QFileInfo(source).isDir()) {
        // A ticked category that packs nothing would otherwise pass unseen.
        m_console->skipped(category, QStringLiteral("no folder %1, skipped").arg(source));
        return;
    }
    marlix::writePathLines(answers, marlix::answerLines(mod, category));
    m_console->beginRun(category);
    const bool started = m_child->runBatch(batch, marlix::childWorkingFolder());
    m_console->endRun(m_child->lastExitStatus());
    if (!started)
        return;
    QFile::remove(batch);
    QFile::remove(answers);
}

void TFrmLaunch::LaunchGame(const QString &game, const QString &parameters) {
    if (!m_child->runProgram(game, parameters, marlix::childWorkingFolder()))
        marlix::showMessage(this, QStringLiteral("Unable to launch BF1942"));
}
