#pragma once

#include <QString>

namespace marlix {

// The folder of the running executable with its trailing separator. Every file of the
// program's own is this folder followed directly by its name; the current directory plays
// no part.
QString programFolder();

} // namespace marlix
