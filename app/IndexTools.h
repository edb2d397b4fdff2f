#pragma once

#include "core/modindex/ModIndex.h"
#include "core/modindex/ModProblem.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QMainWindow;
class QProgressBar;
class QThread;
class QTimer;
class TAdvEdit;

namespace marlix {

class DocumentHost;
class IndexBuilder;
class IndexWatch;
class NameCompletionSource;

// The main window's use of the mod index: the index built in the background (with a progress
// bar), kept current as scripts change, and the commands that read it: go to definition and
// back, find references, Check Mod and the tips over names.
class IndexTools : public QObject {
    Q_OBJECT
public:
    // Adds its entries to the Tools menu and its progress bar to the window's status bar.
    explicit IndexTools(DocumentHost &host);
    ~IndexTools() override;

    QAction *indexFoldersAction, *goToDefinitionAction, *goBackAction, *findReferencesAction,
        *checkModAction;
    QProgressBar *progressBar;
    QLabel *indexStatus;

    // Null when the command tables beside the program could not be read.
    ModIndex *index() const { return m_index.get(); }
    bool isBuilding() const;
    QStringList indexedFolders() const { return m_folders; }
    // Gives the editor Ctrl+click, the tips over names and template names in its completion
    // list.
    void attachEditor(TAdvEdit *editor);
    // Builds the index anew from the folders that apply now (see effectiveIndexFolders).
    void rebuild();
    // Goes to the definition of what stands at the byte position of the active document.
    void goToDefinitionAt(qsizetype position);
    // The tip for what stands at the byte position of the active document; empty for nothing.
    QString tipAt(TAdvEdit *editor, qsizetype position) const;

signals:
    void buildFinished();
    // A script was read again after it changed on disk.
    void indexChanged();
    // Check Mod filled the results panel with these.
    void problemsShown(const QList<ModProblem> &problems);
    // The index is about to go: whatever reads it on other threads must stop.
    void closing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Place {
        QString file;    // the document's caption, or the archive entry's index path
        QString display; // what the tab shows
        qsizetype position = 0;
    };

    void indexFoldersClick();
    void goToDefinitionClick();
    void goBackClick();
    void findReferencesClick();
    void checkModClick();
    void showProblems(const QList<ModProblem> &problems);
    void buildProgress(int done, int total);
    void buildDone(const BuildStats &stats);
    void fileChanged(const QString &path);
    void watchIndexedFiles();
    void updateFoldersFor(TAdvEdit *editor);
    QString activeScript() const;
    bool jumpTo(const QString &file, int line);
    Place currentPlace() const;
    bool noIndex();

    DocumentHost &m_host;
    QMainWindow *m_window; // dialogs, messages and the status bar
    std::unique_ptr<ModIndex> m_index;
    std::unique_ptr<NameCompletionSource> m_names;
    QList<QPointer<TAdvEdit>> m_editors; // those that ask m_names
    IndexBuilder *m_builder = nullptr;
    QStringList m_folders;
    QList<Place> m_back;
    IndexWatch *m_watch = nullptr;
    QTimer *m_folderChange = nullptr;
    QSet<QString> m_rereadAfterBuild;
    QString m_tableError;
    QStringList m_notes;        // base folder lines left out
    QThread *m_check = nullptr; // Check Mod while it runs
};

} // namespace marlix
