#pragma once

#include <QString>

namespace marlix {

struct FindInFilesResult;

// The line under the results of Find in Files: how many matches in how many scripts, or why
// nothing was searched, then whatever cut the search short (the match limit, a stop, a script
// where the pattern engine gave up, scripts that could not be read).
QString findInFilesSummary(const FindInFilesResult &result);

} // namespace marlix
