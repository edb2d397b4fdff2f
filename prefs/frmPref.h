#pragma once

#include "core/prefs/PreferenceFiles.h"

#include "platform/FixedDialog.h"
#include "platform/Prompts.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QToolButton;
namespace marlix {
class ColorShape;
class StringGrid;
} // namespace marlix

// The preferences dialog: the six general options and both language tables. Opening reads
// marlix.ini, intellisense.ini and highlighting.ini from the program folder into the
// controls; every closing writes the three files back. Between the two, the controls are
// the store.
class TfrmPref : public marlix::FixedDialog {
    Q_OBJECT
public:
    explicit TfrmPref(QWidget *parent = nullptr);

    // Where the three files live; ends in a separator. The program folder unless set.
    QString ProgramFolder;

    QTabWidget *pgcPref;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheet3;
    QCheckBox *chkIntellisense;
    QCheckBox *chkHighlighting;
    QCheckBox *chkAutoUpdate;
    QCheckBox *lineNumbersCheckBox;
    marlix::StringGrid *grdIntellisense;
    QGroupBox *GroupBox1;
    QToolButton *btnSave;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *txtCode;
    QLineEdit *txtFile;
    QToolButton *btnFindFile;
    QToolButton *btnInsert;
    QToolButton *btnHInsert;
    marlix::StringGrid *grdHighlighting;
    QGroupBox *GroupBox2;
    QToolButton *btnHSave;
    QLabel *Label3;
    QLabel *Label4;
    QLineEdit *txtHcode;
    QLabel *Label5;
    marlix::ColorShape *shpColor;
    QRadioButton *chkPhrase;
    QRadioButton *chkLine;
    QLabel *Label6;
    // The file-open dialog of "..."; it keeps its folder and name from one use to the next.
    marlix::FileRequest dlgOpen;
    QCheckBox *chkAutoPopulate;
    QGroupBox *GroupBox3;
    QRadioButton *chkLight;
    QRadioButton *chkDark;
    QLabel *Label7;
    QRadioButton *chkInsert;
    QRadioButton *chkOverwrite;
    QLabel *Label8;
    QCheckBox *chkAutoHighlight;
    QCheckBox *reopenSessionCheckBox; // kept in session.ini
    // The colour dialog and the file-open dialog are those of marlix::Prompts.

    // The filter of the "..." button's file-open dialog.
    static QString openFilter();

    // Handlers; each throws marlix::Error, which the caller reports.
    void grdIntellisenseClick();
    void btnSaveClick();
    void btnInsertClick();
    void shpColorMouseUp(Qt::MouseButton Button);
    void btnHSaveClick();
    void grdHighlightingClick();
    void btnHInsertClick();
    void FormClose();
    void btnFindFileClick();
    void FormShow() override; // reports its own errors, one per file, and never throws
    void TabSheet2Show();
    void TabSheet3Show();

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createGeneralPage();
    void createIntellisensePage();
    void createHighlightingPage();
    void connectHandlers();
    void pageShown(int index); // a language table page came into view
    marlix::Preferences controlState() const;
    void setControlState(const marlix::Preferences &state);

    marlix::PreferenceFiles m_files;
    marlix::Preferences m_atOpening; // what discarding the changes returns to
    bool m_closeFailed = false;      // a closing of this opening failed to write
};

extern TfrmPref *frmPref;
