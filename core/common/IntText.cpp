#include "core/common/IntText.h"

#include "core/common/Error.h"

namespace marlix {

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> parseInt(const QString &text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    if (i == n)
        return std::nullopt;

    qsizetype hexStart = -1;
    if (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')
        hexStart = i + 1;
    else if (text[i] == u'0' && i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X'))
        hexStart = i + 2;

    if (hexStart >= 0) {
        if (hexStart == n)
            return std::nullopt;
        std::uint64_t value = 0;
        for (qsizetype k = hexStart; k < n; ++k) {
            const int d = hexDigit(text[k]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + d;
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9')
            return std::nullopt;
        value = value * 10 + (u - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(const QString &text) {
    const std::optional<std::int32_t> value = parseInt(text);
    if (!value)
        throw Error::notInteger(text);
    return *value;
}

} // namespace marlix
