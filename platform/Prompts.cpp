#include "platform/Prompts.h"

#include "core/platform/NameFilters.h"

#include "core/common/ProgramFolder.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QQueue>
#include <QSettings>
#include <QSortFilterProxyModel>

namespace marlix {

namespace {

struct State {
    bool testMode = false;
    QQueue<QMessageBox::StandardButton> messages;
    QQueue<FileAnswer> files;
    QQueue<std::optional<QFont>> fonts;
    QQueue<std::optional<QColor>> colors;
    QList<PromptRecord> shown;
};

State &state() {
    static State s;
    return s;
}

QMessageBox::StandardButton unansweredMessage(QMessageBox::StandardButtons buttons) {
    if (buttons & QMessageBox::Cancel)
        return QMessageBox::Cancel;
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    return QMessageBox::NoButton;
}

// A dialog in test mode: recorded, and answered from its queue, or cancelled when that is empty.
template <class Value>
std::optional<Value> queuedAnswer(State &s, PromptRecord::Kind kind,
                                  QQueue<std::optional<Value>> &answers) {
    PromptRecord record;
    record.kind = kind;
    s.shown.append(record);
    return answers.isEmpty() ? std::nullopt : answers.dequeue();
}

// Lists the files of a filter entry by the program's own rules (every file for "*.*", and
// executables beside "*.exe"), which Qt's patterns cannot say; folders are always listed.
class ListingRules : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setPatterns(const QStringList &patterns) {
        m_patterns = patterns;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || listedUnder(info.fileName(), info.isExecutable(), m_patterns);
    }

private:
    QStringList m_patterns;
};

// Qt's file dialog keeps its history and last folder in the user's settings; the program
// writes nothing outside its own folder, so Qt's user settings live there.
void keepQtSettingsInProgramFolder() {
    static const bool done = [] {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, programFolder());
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

void keepFileDialogState(FileRequest &dialog, const FileAnswer &answer) {
    if (!answer.accepted)
        return;
    const QFileInfo chosen(answer.fileName);
    dialog.folder = answer.folder.isEmpty() ? chosen.absolutePath() : answer.folder;
    dialog.fileName = chosen.fileName();
}

QStringList chosenFiles(const FileAnswer &answer) {
    if (!answer.accepted)
        return {};
    if (!answer.fileNames.isEmpty())
        return answer.fileNames;
    return {answer.fileName};
}

QMessageBox::StandardButton Prompts::message(QWidget *parent, QMessageBox::Icon icon,
                                             const QString &caption, const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    State &s = state();
    if (s.testMode) {
        PromptRecord record;
        record.kind = PromptRecord::Message;
        record.caption = caption;
        record.text = text;
        record.icon = icon;
        record.buttons = buttons;
        s.shown.append(record);
        return s.messages.isEmpty() ? unansweredMessage(buttons) : s.messages.dequeue();
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    // Texts come from files and servers ("404 <b>...</b>", a file named "<img src=...>"):
    // shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

FileAnswer Prompts::file(QWidget *parent, const FileRequest &request) {
    State &s = state();
    if (s.testMode) {
        PromptRecord record;
        record.kind = PromptRecord::File;
        record.caption = request.caption;
        record.file = request;
        s.shown.append(record);
        return s.files.isEmpty() ? FileAnswer{false, request.fileName, request.filterIndex, {}, {}}
                                 : s.files.dequeue();
    }
    keepQtSettingsInProgramFolder();
    QFileDialog dialog(parent, request.caption);
    // Qt's own dialog: the listing rules below need its model, which a desktop's dialog hides.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(request.kind == FileRequest::Save ? QFileDialog::AcceptSave
                                                           : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.kind == FileRequest::Save || !request.nameMustExist
                           ? QFileDialog::AnyFile
                       : request.multiple ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
    // The program never asks before replacing a file it saves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDirectory(request.folder.isEmpty() ? QDir::currentPath() : request.folder);
    const QStringList filters = qtNameFilters(request.filter);
    auto *rules = new ListingRules(&dialog);
    dialog.setProxyModel(rules);
    auto *files = dialog.findChild<QFileSystemModel *>();
    const auto useFilter = [&, rules, files](const QString &chosen) {
        const int index = int(filters.indexOf(chosen)) + 1;
        rules->setPatterns(filterPatterns(request.filter, index));
        // Qt's model lists everything; the rules above decide.
        if (files)
            files->setNameFilters({});
    };
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = qBound(1, request.filterIndex, int(filters.size()));
        dialog.selectNameFilter(filters[index - 1]);
        useFilter(filters[index - 1]);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useFilter);
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    FileAnswer answer{false, request.fileName, request.filterIndex, {}, {}};
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    answer.folder = dialog.directory().absolutePath();
    if (!accepted)
        return answer;
    answer.accepted = true;
    answer.fileName = dialog.selectedFiles().constFirst();
    if (request.multiple)
        answer.fileNames = dialog.selectedFiles();
    answer.folder = QFileInfo(answer.fileName).absolutePath();
    answer.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.filterIndex < 1)
        answer.filterIndex = request.filterIndex;
    return answer;
}

std::optional<QFont> Prompts::font(QWidget *parent, const QFont &initial) {
    State &s = state();
    if (s.testMode)
        return queuedAnswer(s, PromptRecord::Font, s.fonts);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

std::optional<QColor> Prompts::color(QWidget *parent, const QColor &initial) {
    State &s = state();
    if (s.testMode)
        return queuedAnswer(s, PromptRecord::Color, s.colors);
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void Prompts::setTestMode(bool on) {
    state().testMode = on;
}
bool Prompts::testMode() {
    return state().testMode;
}
void Prompts::answerMessage(QMessageBox::StandardButton button) {
    state().messages.enqueue(button);
}
void Prompts::answerFile(const FileAnswer &answer) {
    state().files.enqueue(answer);
}
void Prompts::answerFont(const std::optional<QFont> &font) {
    state().fonts.enqueue(font);
}
void Prompts::answerColor(const std::optional<QColor> &color) {
    state().colors.enqueue(color);
}
const QList<PromptRecord> &Prompts::shown() {
    return state().shown;
}

QStringList Prompts::shownTexts() {
    QStringList texts;
    for (const PromptRecord &record : state().shown)
        if (record.kind == PromptRecord::Message)
            texts.append(record.text);
    return texts;
}

void Prompts::reset() {
    State &s = state();
    s.messages.clear();
    s.files.clear();
    s.fonts.clear();
    s.colors.clear();
    s.shown.clear();
}

} // namespace marlix
