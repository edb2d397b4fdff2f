#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace marlix {

class FindBar;
class FindInFilesJob;
class OpenDocuments;
class ResultsPanel;
struct FindInFilesResult;
struct SearchOptions;

// Find, Replace, Find Next and Previous, Go to Line and Find in Files: the bars at the bottom
// of the page in view, one at a time, and the search over the index folders (or one folder)
// whose matches fill the results panel.
class FindCommands : public QObject {
    Q_OBJECT
public:
    struct Context {
        QString programFolder;
        ResultsPanel *results = nullptr;
        // "Light Text on Dark Background", as the find bar's marks are coloured when it is made.
        std::function<bool()> darkScheme;
        // A short note in the window's status bar.
        std::function<void(const QString &)> note;
    };
    FindCommands(OpenDocuments &documents, Context context, QObject *parent);

    void find();
    void replace();
    // F3 and Shift+F3; without a pattern to repeat they open the bar, as Find does.
    void findAgain(bool forward);
    void goToLine();
    // Find in Files over the index folders of the script in view.
    void findInFiles();
    // Find in Files over the scripts below one folder only.
    void findInFolder(const QString &folder);

private:
    // The find bar of the active page (made when `create`), its Find in Files wired.
    FindBar *activeFindBar(bool create);
    void startFindInFiles(const QByteArray &pattern, const SearchOptions &options);
    void showFindInFilesResult(const FindInFilesResult &result);
    void cancelFindInFiles();

    OpenDocuments &m_documents;
    Context m_context;
    FindInFilesJob *m_job = nullptr;
    QString m_scope; // the folder of Find in This Folder; empty: the index folders
};

} // namespace marlix
