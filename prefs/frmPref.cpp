#include "prefs/frmPref.h"

#include "core/common/BoolLines.h"
#include "core/common/ColorText.h"
#include "core/common/ProgramFolder.h"
#include "core/workspace/SessionFile.h"
#include "platform/GuardedConnect.h"
#include "platform/Prompts.h"
#include "platform/ScreenColor.h"
#include "prefs/ColorShape.h"
#include "prefs/StringGrid.h"
#include "prefs/TableTextValidator.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <functional>

using namespace marlix;

TfrmPref *frmPref = nullptr;

namespace {

QCheckBox *checkBox(QWidget *parent, const char *caption, int l, int t, int w, int h) {
    auto *box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setGeometry(l, t, w, h);
    box->setChecked(true);
    return box;
}

QRadioButton *radio(QWidget *parent, const char *caption, int l, int t, int w, int h,
                    bool selected) {
    auto *button = new QRadioButton(QString::fromLatin1(caption), parent);
    button->setGeometry(l, t, w, h);
    button->setChecked(selected);
    return button;
}

QLabel *label(QWidget *parent, const char *caption, int l, int t) {
    auto *text = new QLabel(QString::fromLatin1(caption), parent);
    text->move(l, t);
    text->adjustSize();
    return text;
}

QLineEdit *edit(QWidget *parent, int l, int t, int w, int h) {
    auto *field = new QLineEdit(parent);
    field->setGeometry(l, t, w, h);
    return field;
}

QToolButton *speedButton(QWidget *parent, const char *caption, int l, int t, int w, int h) {
    auto *button = new QToolButton(parent);
    button->setText(QString::fromLatin1(caption));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(l, t, w, h);
    return button;
}

QGroupBox *groupBox(QWidget *parent, const char *caption, int l, int t, int w, int h) {
    auto *group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setGeometry(l, t, w, h);
    // The caption sits on the frame's top edge, a few pixels from the box's top, so that the
    // controls at their places inside (the first at 16) stand below the edge and do not paint
    // over it.
    group->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; }"));
    return group;
}

QLabel *note(QWidget *parent, const char *caption) {
    auto *text = new QLabel(QString::fromLatin1(caption), parent);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(216, 136, 238, 26);
    return text;
}

marlix::StringGrid *grid(QWidget *parent) {
    auto *table = new marlix::StringGrid(parent);
    table->setGeometry(0, 16, 205, 249);
    return table;
}

void paintScheme(QRadioButton *button, Qt::GlobalColor text, Qt::GlobalColor background) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Button, background);
    button->setPalette(palette);
    button->setBackgroundRole(QPalette::Window);
    button->setAutoFillBackground(true);
}

// Style cells: only the exact text "1" selects the first button of the pair.
void showStyle(const QString &cell, QRadioButton *onOne, QRadioButton *otherwise) {
    (cell == QLatin1String("1") ? onOne : otherwise)->setChecked(true);
}

// The texts that tell the two table pages apart.
struct TablePageTexts {
    const char *enable;
    int enableWidth;
    const char *value; // the caption of the second row, under "Code"
    const char *firstStyle;
    const char *secondStyle;
    const char *note;
};

// The dialog's fields that receive a table page's controls.
struct TablePageControls {
    QCheckBox *&enable;
    marlix::StringGrid *&table;
    QGroupBox *&group;
    QLabel *&codeLabel;
    QLineEdit *&code;
    QLabel *&valueLabel;
    QLabel *&styleLabel;
    QRadioButton *&firstStyle;
    QRadioButton *&secondStyle;
    QToolButton *&save;
    QLabel *&note;
    QToolButton *&insert;
};

// Builds what the intellisense and the highlighting page share; valueRow adds the page's own
// second row to the group box.
void createTablePage(QWidget *page, const TablePageTexts &texts, const TablePageControls &controls,
                     const std::function<void(QGroupBox *)> &valueRow) {
    controls.enable = checkBox(page, texts.enable, 0, 0, texts.enableWidth, 17);
    controls.table = grid(page);
    controls.group = groupBox(page, "Selected Code", 216, 16, 241, 113);
    controls.codeLabel = label(controls.group, "Code", 8, 24);
    controls.code = edit(controls.group, 48, 24, 185, 21);
    controls.valueLabel = label(controls.group, texts.value, 8, 48);
    // Made here, between the code and the style, so that they keep their place in the tab order.
    valueRow(controls.group);
    controls.styleLabel = label(controls.group, "Style", 8, 72);
    controls.firstStyle = radio(controls.group, texts.firstStyle, 48, 72, 113, 17, true);
    controls.secondStyle = radio(controls.group, texts.secondStyle, 48, 88, 113, 17, false);
    controls.save = speedButton(controls.group, "Save", 186, 83, 47, 22);
    controls.note = note(page, texts.note);
    controls.insert = speedButton(page, "Insert", 210, 243, 47, 22);
}

} // namespace

TfrmPref::TfrmPref(QWidget *parent)
    : FixedDialog(parent, QStringLiteral("Marlix Preferences"), {473, 294},
                  Qt::MSWindowsFixedSizeDialogHint),
      ProgramFolder(programFolder()) {
    pgcPref = new QTabWidget(this);
    pgcPref->setGeometry(0, 0, 473, 294);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    pgcPref->addTab(TabSheet1, QStringLiteral("General"));
    pgcPref->addTab(TabSheet2, QStringLiteral("Intellisense"));
    pgcPref->addTab(TabSheet3, QStringLiteral("Highlighting"));
    pgcPref->setCurrentIndex(0);

    createGeneralPage();
    createIntellisensePage();
    createHighlightingPage();
    connectHandlers();

    txtCode->setValidator(
        new marlix::TableTextValidator(marlix::TableTextValidator::EightBit, this));
    txtHcode->setValidator(
        new marlix::TableTextValidator(marlix::TableTextValidator::EightBit, this));
    txtFile->setValidator(
        new marlix::TableTextValidator(marlix::TableTextValidator::AnyCharacter, this));
}

void TfrmPref::createGeneralPage() {
    QWidget *page = TabSheet1;
    chkAutoPopulate = checkBox(page, "Enable Object Explorer Populate on File Load", 8, 9, 281, 17);
    chkAutoHighlight = checkBox(page, "Enable Auto Highlighting on File Load", 8, 33, 233, 17);
    GroupBox3 = groupBox(page, "Display Options", 8, 56, 217, 65);
    chkDark = radio(GroupBox3, "Dark Text on Light Background", 8, 16, 201, 17, true);
    chkLight = radio(GroupBox3, "Light Text on Dark Background", 8, 40, 201, 17, false);
    paintScheme(chkDark, Qt::black, Qt::white);
    paintScheme(chkLight, Qt::white, Qt::black);
    lineNumbersCheckBox = checkBox(page, "Show Line Numbers", 8, 128, 217, 17);
    lineNumbersCheckBox->setObjectName(QStringLiteral("lineNumbersCheckBox"));
    lineNumbersCheckBox->setChecked(true);
    chkAutoUpdate = checkBox(page, "Check for Updates Automatically", 8, 248, 217, 17);
    reopenSessionCheckBox =
        checkBox(page, "Reopen the Open Scripts at the Next Start", 8, 128, 281, 17);
    reopenSessionCheckBox->setObjectName(QStringLiteral("reopenSessionCheckBox"));
}

void TfrmPref::createIntellisensePage() {
    createTablePage(TabSheet2,
                    {"Enable Intellisense Support", 193, "File", "Overwrite", "Insert",
                     "NOTE: To delete a code, just set the code or the file to an empty string "
                     "and save"},
                    {chkIntellisense, grdIntellisense, GroupBox1, Label1, txtCode, Label2, Label8,
                     chkOverwrite, chkInsert, btnSave, Label6, btnInsert},
                    [this](QGroupBox *group) {
                        txtFile = edit(group, 48, 48, 161, 21);
                        btnFindFile = speedButton(group, "...", 208, 48, 25, 21);
                    });
}

void TfrmPref::createHighlightingPage() {
    createTablePage(TabSheet3,
                    {"Enable Automatic Highlighting", 201, "Color", "Phrase Only", "To End of Line",
                     "NOTE: To delete a code, just set the code to an empty string and save"},
                    {chkHighlighting, grdHighlighting, GroupBox2, Label3, txtHcode, Label4, Label5,
                     chkPhrase, chkLine, btnHSave, Label7, btnHInsert},
                    [this](QGroupBox *group) {
                        shpColor = new marlix::ColorShape(group);
                        shpColor->setGeometry(48, 48, 65, 20);
                        shpColor->setBrushColor(clWhite);
                    });
}

void TfrmPref::connectHandlers() {
    using marlix::connectGuarded;
    connectGuarded(grdIntellisense, &marlix::StringGrid::rowChosen, this,
                   &TfrmPref::grdIntellisenseClick);
    connectGuarded(grdHighlighting, &marlix::StringGrid::rowChosen, this,
                   &TfrmPref::grdHighlightingClick);
    connectGuarded(btnSave, &QToolButton::clicked, this, &TfrmPref::btnSaveClick);
    connectGuarded(btnHSave, &QToolButton::clicked, this, &TfrmPref::btnHSaveClick);
    connectGuarded(btnInsert, &QToolButton::clicked, this, &TfrmPref::btnInsertClick);
    connectGuarded(btnHInsert, &QToolButton::clicked, this, &TfrmPref::btnHInsertClick);
    connectGuarded(btnFindFile, &QToolButton::clicked, this, &TfrmPref::btnFindFileClick);
    connectGuarded(shpColor, &marlix::ColorShape::mouseUp, this, &TfrmPref::shpColorMouseUp);
    connectGuarded(pgcPref, &QTabWidget::currentChanged, this, &TfrmPref::pageShown);
}

void TfrmPref::pageShown(int index) {
    if (index == 1)
        TabSheet2Show();
    else if (index == 2)
        TabSheet3Show();
}

QString TfrmPref::openFilter() {
    return QStringLiteral("Marlix Init Files (*.ini)|*.ini|BF1942 Exe Path (*.exe)|*.exe");
}

Preferences TfrmPref::controlState() const {
    Preferences state;
    state.options.autoPopulate = chkAutoPopulate->isChecked();
    state.options.autoHighlight = chkAutoHighlight->isChecked();
    state.options.darkText = chkDark->isChecked();
    state.options.autoUpdate = chkAutoUpdate->isChecked();
    state.options.intellisense = chkIntellisense->isChecked();
    state.options.highlighting = chkHighlighting->isChecked();
    state.options.lineNumbers = lineNumbersCheckBox->isChecked();
    state.intellisense = grdIntellisense->rows();
    state.highlighting = grdHighlighting->rows();
    return state;
}

void TfrmPref::setControlState(const Preferences &state) {
    chkAutoPopulate->setChecked(state.options.autoPopulate);
    chkAutoHighlight->setChecked(state.options.autoHighlight);
    (state.options.darkText ? chkDark : chkLight)->setChecked(true);
    chkAutoUpdate->setChecked(state.options.autoUpdate);
    chkIntellisense->setChecked(state.options.intellisense);
    chkHighlighting->setChecked(state.options.highlighting);
    lineNumbersCheckBox->setChecked(state.options.lineNumbers);
    grdIntellisense->setRows(state.intellisense);
    grdHighlighting->setRows(state.highlighting);
}

void TfrmPref::FormShow() {
    // Each file is read on its own: one that fails to read is reported and leaves its
    // controls as they are, and the others are still loaded.
    m_files.setFolder(ProgramFolder);
    Preferences state = controlState();
    guarded(this, [&] { m_files.loadOptions(state.options); });
    guarded(this, [&] { m_files.loadIntellisense(state.intellisense); });
    guarded(this, [&] { m_files.loadHighlighting(state.highlighting); });
    setControlState(state);
    reopenSessionCheckBox->setChecked(readSession(sessionPath(ProgramFolder)).reopen);
    m_atOpening = state;
    m_closeFailed = false;
}

void TfrmPref::TabSheet2Show() {
    const int row = grdIntellisense->selectedRow();
    txtCode->setText(grdIntellisense->cell(0, row));
    txtFile->setText(grdIntellisense->cell(1, row));
}

void TfrmPref::TabSheet3Show() {
    const int row = grdHighlighting->selectedRow();
    txtHcode->setText(grdHighlighting->cell(0, row));
    showStyle(grdHighlighting->cell(1, row), chkLine, chkPhrase);
    const QString color = grdHighlighting->cell(2, row);
    // An unknown colour text throws here, after the code and the style have been shown,
    // and the shape keeps its fill.
    shpColor->setBrushColor(color.isEmpty() ? clWhite : StringToColor(color));
}

void TfrmPref::grdIntellisenseClick() {
    TabSheet2Show();
    showStyle(grdIntellisense->cell(2, grdIntellisense->selectedRow()), chkOverwrite, chkInsert);
}

void TfrmPref::grdHighlightingClick() {
    TabSheet3Show();
}

void TfrmPref::btnSaveClick() {
    const int row = grdIntellisense->selectedRow();
    grdIntellisense->setCell(0, row, txtCode->text());
    grdIntellisense->setCell(1, row, txtFile->text());
    grdIntellisense->setCell(2, row, boolLine(chkOverwrite->isChecked()));
}

void TfrmPref::btnHSaveClick() {
    const int row = grdHighlighting->selectedRow();
    grdHighlighting->setCell(0, row, txtHcode->text());
    grdHighlighting->setCell(1, row,
                             chkPhrase->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    grdHighlighting->setCell(2, row, colorToString(shpColor->brushColor()));
}

void TfrmPref::btnInsertClick() {
    grdIntellisense->addRow();
}

void TfrmPref::btnHInsertClick() {
    grdHighlighting->addRow();
}

void TfrmPref::shpColorMouseUp(Qt::MouseButton) {
    if (const std::optional<QColor> chosen = Prompts::color(this, shpColor->fillColor()))
        shpColor->setBrushColor(colorValue(*chosen));
}

void TfrmPref::btnFindFileClick() {
    dlgOpen.kind = FileRequest::Open;
    dlgOpen.filter = openFilter();
    dlgOpen.filterIndex = 1; // the ".ini" entry every time, whatever was chosen before
    const FileAnswer answer = Prompts::file(this, dlgOpen);
    keepFileDialogState(dlgOpen, answer);
    if (answer.accepted)
        txtFile->setText(answer.fileName);
}

void TfrmPref::FormClose() {
    m_files.save(controlState());
    const QString session = sessionPath(ProgramFolder);
    Session kept = readSession(session);
    if (kept.reopen != reopenSessionCheckBox->isChecked()) {
        kept.reopen = reopenSessionCheckBox->isChecked();
        writeSession(session, kept);
    }
}

void TfrmPref::done(int result) {
    if (!guarded(this, [&] { FormClose(); })) {
        // The closing is refused so that the user can remove the cause and close again.
        // From the second failure on, the user may leave without the changes not written.
        if (!m_closeFailed) {
            m_closeFailed = true;
            return;
        }
        const auto answer = Prompts::message(
            this, QMessageBox::Question, QStringLiteral("Confirm"),
            QStringLiteral("The preferences could not be saved. Discard the unsaved changes?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
        setControlState(m_atOpening);
    }
    m_closeFailed = false;
    QDialog::done(result);
}

void TfrmPref::keyPressEvent(QKeyEvent *event) {
    // The dialog has no cancel: Esc does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
