#include "core/common/ProgramFolder.h"

#include <QCoreApplication>

namespace marlix {

QString programFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace marlix
