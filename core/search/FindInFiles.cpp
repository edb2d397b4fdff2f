#include "core/search/FindInFiles.h"

#include <QFile>
#include <QThread>
#include <thread>
#include <vector>

namespace marlix {

namespace {

qsizetype lineEndFrom(const QByteArray &bytes, qsizetype pos) {
    const char *data = bytes.constData();
    while (pos < bytes.size() && data[pos] != '\r' && data[pos] != '\n')
        ++pos;
    return pos;
}

struct FileOutcome {
    QList<FileMatch> matches;
    int stoppedLine = 0;
    bool searched = false;
    bool unreadable = false;
};

} // namespace

QList<FileMatch> findInText(const TextSearch &search, const QString &path, const QByteArray &bytes,
                            int *stoppedLine) {
    QList<FileMatch> matches;
    const char *data = bytes.constData();
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype scanned = 0;
    const qsizetype stopped = search.forEachMatch(
        TextView::whole(bytes), 0, bytes.size(),
        [&](const SearchMatch &match, const QRegularExpressionMatch *) {
            for (; scanned < match.start; ++scanned) {
                const char c = data[scanned];
                // CR LF is one line end: the LF counts it.
                if (c == '\n' ||
                    (c == '\r' && (scanned + 1 == bytes.size() || data[scanned + 1] != '\n'))) {
                    ++line;
                    lineStart = scanned + 1;
                }
            }
            const qsizetype lineEnd = lineEndFrom(bytes, lineStart);
            matches.append({path, line, match.start - lineStart, match.length,
                            bytes.mid(lineStart, lineEnd - lineStart)});
            return true;
        });
    if (stoppedLine)
        *stoppedLine = stopped >= 0 ? lineNumberAt(TextView::whole(bytes), stopped) : 0;
    return matches;
}

FindInFilesResult findInFiles(const QStringList &paths, const QByteArray &pattern,
                              const SearchOptions &options, const FindInFilesOptions &run) {
    FindInFilesResult result;
    const TextSearch check(pattern, options);
    if (!check.isValid()) {
        result.errorText = check.errorText();
        return result;
    }
    const int count = static_cast<int>(paths.size());
    std::vector<FileOutcome> outcomes(count);
    std::atomic<int> next{0};
    std::atomic<qsizetype> found{0};
    auto stopped = [&] {
        return (run.cancel && run.cancel->load()) || found.load() >= run.maxMatches;
    };
    auto work = [&] {
        // Each thread compiles its own expression: matching never shares one across threads.
        const TextSearch search(pattern, options);
        for (int i = next++; i < count && !stopped(); i = next++) {
            FileOutcome &outcome = outcomes[i];
            QFile file(paths[i]);
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = file.readAll();
                outcome.matches = findInText(search, paths[i], bytes, &outcome.stoppedLine);
                found += outcome.matches.size();
            } else {
                outcome.unreadable = true;
            }
            outcome.searched = true;
        }
    };
    int threads = run.threads > 0 ? run.threads : QThread::idealThreadCount();
    threads = std::max(1, std::min(threads, count));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();

    // Files are taken in order but finish out of order: the result holds the files up to the
    // first one not searched, so that a stopped search still gives an unbroken front part.
    for (const FileOutcome &outcome : outcomes) {
        if (!outcome.searched)
            break;
        ++result.filesSearched;
        if (outcome.unreadable)
            result.unreadable.append(paths[result.filesSearched - 1]);
        result.matches.append(outcome.matches);
        if (outcome.stoppedLine > 0)
            result.stopped.append({paths[result.filesSearched - 1], outcome.stoppedLine, 0, 0, {}});
    }
    result.cancelled = run.cancel && run.cancel->load();
    if (result.matches.size() >= run.maxMatches && result.filesSearched < count) {
        result.truncated = true;
    }
    if (result.matches.size() > run.maxMatches) {
        result.truncated = true;
        result.matches.resize(run.maxMatches);
    }
    return result;
}

} // namespace marlix
