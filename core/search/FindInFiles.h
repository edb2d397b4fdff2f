#pragma once

#include "core/script/TextSearch.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

// Find in Files: the find bar's search over a list of script files, read from disk as they
// are. Runs on any thread: it touches no window and shares nothing but what it is given.
namespace marlix {

struct FileMatch {
    QString path;
    int line = 0;         // counted from 1; CR LF, a lone CR or a lone LF end a line
    qsizetype column = 0; // byte offset of the match within its line
    qsizetype length = 0; // of the match (a match over several lines runs past lineText)
    QByteArray lineText;  // the line that holds the match's start, without its line end
};

struct FindInFilesResult {
    QList<FileMatch> matches; // in the order of the file list, then of the text
    QStringList unreadable;   // files that could not be read
    // Files whose search the pattern engine gave up: the place (path and line) where it did.
    // Their matches before that place are listed; those after it are unknown.
    QList<FileMatch> stopped;
    int filesSearched = 0;
    bool cancelled = false;
    bool truncated = false; // the match limit was reached; the files after it are not searched
    QString errorText;      // an invalid search: nothing searched
};

struct FindInFilesOptions {
    int threads = 0;                           // 0: as many as the machine has cores
    qsizetype maxMatches = 100000;             // keeps a search for "e" from filling the memory
    const std::atomic<bool> *cancel = nullptr; // set from any thread to stop soon
};

// The matches of one file's bytes; `stoppedLine` (if given) is the line where the engine gave
// up, or 0.
QList<FileMatch> findInText(const TextSearch &search, const QString &path, const QByteArray &bytes,
                            int *stoppedLine = nullptr);

FindInFilesResult findInFiles(const QStringList &paths, const QByteArray &pattern,
                              const SearchOptions &options, const FindInFilesOptions &run = {});

} // namespace marlix
