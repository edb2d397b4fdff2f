#include "prefs/TableTextValidator.h"

QValidator::State marlix::TableTextValidator::validate(QString &input, int &) const {
    for (const QChar c : std::as_const(input)) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return Invalid;
        if (m_range == EightBit && c.unicode() > 0xFF)
            return Invalid;
    }
    return Acceptable;
}
