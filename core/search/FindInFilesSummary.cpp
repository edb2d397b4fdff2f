#include "core/search/FindInFilesSummary.h"

#include "core/search/FindInFiles.h"

namespace marlix {

QString findInFilesSummary(const FindInFilesResult &result) {
    QString summary = result.errorText.isEmpty()
                          ? QStringLiteral("Find in Files: %1 matches in %2 scripts searched")
                                .arg(result.matches.size())
                                .arg(result.filesSearched)
                          : result.errorText;
    if (result.truncated)
        summary += QStringLiteral(" (stopped at the match limit)");
    if (result.cancelled)
        summary += QStringLiteral(" (stopped)");
    for (const FileMatch &stop : result.stopped)
        summary += QStringLiteral("; %1: %2").arg(stop.path, searchStoppedText(stop.line));
    if (!result.unreadable.isEmpty())
        summary += QStringLiteral("; %1 could not be read").arg(result.unreadable.size());
    return summary;
}

} // namespace marlix
