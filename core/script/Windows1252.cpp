#include "core/script/Windows1252.h"

namespace marlix {

namespace {

const char16_t highControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 0x98
};

} // namespace

char16_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? highControls[byte - 0x80] : char16_t(0);
}

QList<qsizetype> windows1252Offsets(const char *data, qsizetype size) {
    QList<qsizetype> offsets;
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size; ++i)
        if ((bytes[i] & 0xE0) == 0x80 && highControls[bytes[i] - 0x80])
            offsets.append(i);
    return offsets;
}

Utf8Styled windows1252Utf8(const QByteArray &bytes, const QByteArray &styles) {
    Utf8Styled out;
    out.text.reserve(bytes.size() + bytes.size() / 8);
    out.styles.reserve(out.text.capacity());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const char style = i < styles.size() ? styles[i] : char(0);
        const char16_t shown = windows1252Character(byte);
        const char16_t c = shown ? shown : char16_t(byte);
        if (c < 0x80) {
            out.text += char(c);
        } else if (c < 0x800) {
            out.text += char(0xC0 | (c >> 6));
            out.text += char(0x80 | (c & 0x3F));
        } else {
            out.text += char(0xE0 | (c >> 12));
            out.text += char(0x80 | ((c >> 6) & 0x3F));
            out.text += char(0x80 | (c & 0x3F));
        }
        out.styles.append(out.text.size() - out.styles.size(), style);
    }
    return out;
}

QString windows1252Text(const QByteArray &bytes) {
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        if (const char16_t shown = windows1252Character(static_cast<unsigned char>(c.unicode())))
            c = QChar(shown);
    }
    return text;
}

namespace {

// The byte that shows as `u`; -1 when none does.
int byteFor(char16_t u) {
    if (u < 0x100)
        return u;
    for (int k = 0; k < 32; ++k)
        if (highControls[k] == u)
            return 0x80 + k;
    return -1;
}

} // namespace

std::optional<QByteArray> windows1252Bytes(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const int byte = byteFor(c.unicode());
        if (byte < 0)
            return std::nullopt;
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

QByteArray windows1252BytesOrMarks(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteFor(text[i].unicode());
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
        // One mark for a character beyond the first 65536, not one per half.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return bytes;
}

} // namespace marlix
