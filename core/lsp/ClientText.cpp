#include "core/lsp/ClientText.h"

#include "core/script/Windows1252.h"

#include <algorithm>

namespace marlix {

namespace {

// The byte for a UTF-16 unit, or -1.
int byteOf(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        const char16_t shown = windows1252Character(byte);
        if (shown ? shown == unit : unit == byte)
            return byte;
    }
    return -1;
}

} // namespace

QString clientText(const QByteArray &bytes) {
    return windows1252Text(bytes);
}

QByteArray scriptBytes(const QString &text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const int byte = byteOf(c.unicode());
        *out++ = byte < 0 ? '?' : char(byte);
    }
    return bytes;
}

qsizetype offsetOf(const ScriptDocument &doc, TextPosition position) {
    if (position.line < 0)
        return 0;
    if (position.line >= doc.lineCount())
        return doc.size();
    const qsizetype start = doc.lineStart(position.line);
    return start + std::clamp<qsizetype>(position.character, 0, doc.lineEnd(position.line) - start);
}

TextPosition positionOf(const ScriptDocument &doc, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, doc.size());
    const int line = doc.lineOfPosition(offset);
    return {line, int(offset - doc.lineStart(line))};
}

} // namespace marlix
