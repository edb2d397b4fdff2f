#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Bytes 0x80-0x9F are control characters in Latin-1, but scripts written on Windows use them
// for the Windows-1252 characters (euro sign, typographic quotes, dashes...). They are shown
// as those characters; the bytes themselves are never changed.
namespace marlix {

// The character a byte 0x80-0x9F shows as; 0 for the other bytes and for the five bytes
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char16_t windows1252Character(unsigned char byte);

// The offsets of the bytes that have such a character, in order.
QList<qsizetype> windows1252Offsets(const char *data, qsizetype size);

// The bytes as UTF-8, each byte shown as by windows1252Text, with each byte's style (0 where
// `styles` ends early) repeated over the UTF-8 bytes of its character: a copy of a document
// that draws those characters, for the printer.
struct Utf8Styled {
    QByteArray text;
    QByteArray styles;
};
Utf8Styled windows1252Utf8(const QByteArray &bytes, const QByteArray &styles);

// Bytes shown as text: 0x80-0x9F as above, every other byte as its Latin-1 character.
QString windows1252Text(const QByteArray &bytes);

// Typed text as document bytes (the inverse of windows1252Text); nothing when the text holds
// a character no byte stands for.
std::optional<QByteArray> windows1252Bytes(const QString &text);

// Text from elsewhere (the clipboard, a drop) as document bytes: as windows1252Bytes, with '?'
// for each character no byte stands for.
QByteArray windows1252BytesOrMarks(const QString &text);

} // namespace marlix
