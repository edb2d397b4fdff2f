#include "core/common/Version.h"

namespace marlix {

QString versionText() {
    return QStringLiteral(MARLIX_VERSION);
}

QString mainWindowTitle() {
    return QStringLiteral("Marlix ") + versionText();
}

} // namespace marlix
