#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <optional>

namespace marlix {

// What a file dialog is asked to show. The filter is in the "Text|pattern|Text|pattern"
// form, and the filter index counts from 1, as the program's dialogs describe them.
struct FileRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString caption;
    QString filter;
    int filterIndex = 1;
    QString defaultSuffix; // without the dot
    QString fileName;      // preset file name, or empty
    // The folder the dialog opens in; empty at its first use: the working folder. Each dialog
    // of the program keeps its own, never one shared "last visited" folder.
    QString folder;
    // An Open dialog whose typed name need not exist (only its folder must), as for a folder
    // chosen by opening it and accepting a placeholder name.
    bool nameMustExist = true;
    // An Open dialog in which several files may be chosen at once.
    bool multiple = false;
};

struct FileAnswer {
    FileAnswer() = default;
    FileAnswer(bool accepted, const QString &fileName, int filterIndex, const QString &folder,
               const QStringList &fileNames = {})
        : accepted(accepted), fileName(fileName), filterIndex(filterIndex), folder(folder),
          fileNames(fileNames) {}

    bool accepted = false;
    QString fileName;
    int filterIndex = 1;
    QString folder; // where the dialog was left; for an accepted name, its folder
    // Every file chosen in a dialog that allows several, in the order the dialog gives them;
    // fileName is the first. Empty where only fileName was answered.
    QStringList fileNames;
};

// The files an accepted answer names: fileNames, or fileName alone.
QStringList chosenFiles(const FileAnswer &answer);

// What an accepted dialog keeps for its next use: the chosen file's folder and its name in the
// name box.
void keepFileDialogState(FileRequest &dialog, const FileAnswer &answer);

// A prompt that was raised, as a test sees it afterwards.
struct PromptRecord {
    enum Kind { Message, File, Font, Color };
    Kind kind = Message;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    FileRequest file;
};

// Every modal message box and system dialog of the program goes through here, so that a test
// can answer it in advance instead of blocking in exec(). In test mode an unanswered prompt
// does not open: a message returns Cancel (or the only button it has), a dialog is cancelled.
class Prompts {
public:
    static QMessageBox::StandardButton
    message(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static FileAnswer file(QWidget *parent, const FileRequest &request);
    static std::optional<QFont> font(QWidget *parent, const QFont &initial);
    static std::optional<QColor> color(QWidget *parent, const QColor &initial);

    // Test side.
    static void setTestMode(bool on);
    static bool testMode();
    static void answerMessage(QMessageBox::StandardButton button);
    static void answerFile(const FileAnswer &answer);
    static void answerFont(const std::optional<QFont> &font);
    static void answerColor(const std::optional<QColor> &color);
    static const QList<PromptRecord> &shown();
    static QStringList shownTexts(); // the texts of the messages shown, in order
    static void reset();             // forget answers and records
};

} // namespace marlix
