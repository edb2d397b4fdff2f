#pragma once

#include <QString>

namespace marlix {

// Boolean settings lines: "1" is on, "0" is off; on reading only the exact line "1" is on.
inline bool isOnLine(const QString &line) {
    return line == QLatin1String("1");
}
inline QString boolLine(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace marlix
