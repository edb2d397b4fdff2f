#include "core/common/Error.h"

namespace marlix {

Error::Error(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

Error Error::cannotOpen(const QString &path) {
    return Error(QStringLiteral("Cannot open file %1").arg(path));
}

Error Error::cannotCreate(const QString &path) {
    return Error(QStringLiteral("Cannot create file %1").arg(path));
}

Error Error::notInteger(const QString &text) {
    return Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

Error Error::listIndex(int index) {
    return Error(QStringLiteral("List index out of bounds (%1)").arg(index));
}

} // namespace marlix
