#include "core/script/TwinStyles.h"

#include "core/script/HighlightStyling.h"
#include "core/script/StyleTable.h"
#include "core/script/WrapRule.h"

namespace marlix {

static_assert(StyleTable::lastStyle < twinOffset, "a colour style must not be a twin");

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

ByteSpan alternateTwins(const char *text, char *styles, qsizetype size) {
    auto plainAt = [&](qsizetype i) { return baseStyle(static_cast<unsigned char>(styles[i])); };
    auto wordStart = [&](qsizetype i) { return isBlank(text[i - 1]) && !isBlank(text[i]); };
    // A line this long is never wrapped, so a twin may change inside a word as well: a line
    // without blanks would otherwise stay one style and be measured afresh after every key.
    const bool unwrapped = size >= unwrappedLineBytes;
    ByteSpan changed{size, size};
    bool twin = false;
    qsizetype pieceStart = 0; // where the control starts measuring a piece anew
    for (qsizetype i = 0; i < size; ++i) {
        const int plain = plainAt(i);
        if (i > 0 && plain != plainAt(i - 1)) {
            pieceStart = i;
        } else if (i > 0 && wordStart(i)) {
            // Words join the piece while it stays short enough to be remembered.
            qsizetype end = i + 1;
            while (end < size && end - pieceStart < measuredPieceBytes && !wordStart(end) &&
                   plainAt(end) == plain)
                ++end;
            if (end - pieceStart >= measuredPieceBytes) {
                twin = !twin;
                pieceStart = i;
            }
        } else if (unwrapped && i - pieceStart >= measuredPieceBytes - 1) {
            twin = !twin;
            pieceStart = i;
        }
        const char wanted = static_cast<char>(twin ? twinStyle(plain) : plain);
        if (styles[i] == wanted)
            continue;
        styles[i] = wanted;
        if (changed.from == size)
            changed.from = i;
        changed.to = i + 1;
    }
    if (changed.from == size)
        changed = {0, 0};
    return changed;
}

bool LineFit::fits(const char *text, qsizetype size) const {
    const qint64 widest = std::max(widestChar, 1);
    if (areaWidth <= 0 || qint64(size) * widest >= areaWidth)
        return false;
    // Every byte takes the widest character's room; tabs and control bytes may take more.
    const qint64 tabWidth = std::max<qint64>(tabSpan, widest);
    const qint64 wideWidth = std::max<qint64>(wideByte, widest);
    if (qint64(size) * std::max(tabWidth, wideWidth) < areaWidth)
        return true; // short enough whatever its bytes
    qint64 width = qint64(size) * widest;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            width += (c == '\t' ? tabWidth : wideWidth) - widest;
    }
    return width < areaWidth;
}

bool LineFit::holdsAll(const LineFit &other) const {
    return areaWidth >= other.areaWidth && widestChar <= other.widestChar &&
           tabSpan <= other.tabSpan && wideByte <= other.wideByte;
}

namespace {
enum class ByteKind : unsigned char { Letter, Blank, Other };

struct ByteKinds {
    ByteKind of[256];
    constexpr ByteKinds() : of() {
        for (int u = 0; u < 256; ++u) {
            const bool letter =
                (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0xC0;
            of[u] = u == ' ' || u == '\t' ? ByteKind::Blank
                    : letter              ? ByteKind::Letter
                                          : ByteKind::Other;
        }
    }
};
constexpr ByteKinds byteKinds;

ByteKind kindOf(char c) {
    return byteKinds.of[static_cast<unsigned char>(c)];
}

ByteSpan setStyle(char *styles, qsizetype i, char wanted, ByteSpan changed) {
    if (styles[i] == wanted)
        return changed;
    styles[i] = wanted;
    if (changed.from == changed.to)
        changed.from = i;
    changed.to = i + 1;
    return changed;
}
} // namespace

ByteSpan splitTwins(const char *text, char *styles, qsizetype size) {
    ByteSpan changed;
    bool twin = false;
    qsizetype pieceStart = 0;
    ByteKind previous = ByteKind::Blank;
    int previousPlain = -1;
    for (qsizetype i = 0; i < size; ++i) {
        const int plain = baseStyle(static_cast<unsigned char>(styles[i]));
        const ByteKind kind = kindOf(text[i]);
        if (plain != previousPlain) {
            pieceStart = i;
        } else if (kind != previous || kind == ByteKind::Other ||
                   i - pieceStart >= measuredPieceBytes - 1) {
            twin = !twin;
            pieceStart = i;
        }
        previous = kind;
        previousPlain = plain;
        changed = setStyle(styles, i, static_cast<char>(twin ? twinStyle(plain) : plain), changed);
    }
    return changed;
}

ByteSpan twinLine(const char *text, char *styles, qsizetype size, const LineFit &fit) {
    // A line of a large script that may wrap is laid out afresh whenever the control wraps
    // the script, in pieces of a hundred bytes it cannot remember unless twins cut it into
    // words first.
    if (size >= twinLineBytes || (fit.areaWidth > 0 && !fit.fits(text, size)))
        return alternateTwins(text, styles, size);
    if (fit.fits(text, size))
        return splitTwins(text, styles, size);
    ByteSpan changed;
    for (qsizetype i = 0; i < size; ++i)
        changed =
            setStyle(styles, i, static_cast<char>(baseStyle(static_cast<unsigned char>(styles[i]))),
                     changed);
    return changed;
}

TwinResult twinLines(const TextView &text, QByteArray &styles, const LineFit &fit) {
    TwinResult result;
    const qsizetype size = std::min(text.size, styles.size());
    char *style = styles.data();
    for (qsizetype start = 0; start < size;) {
        // The view may end inside a line: its end counts as the line's.
        const qsizetype end = lineEndIn(text.data, start, size);
        if (end - start >= twinLineBytes)
            result.longLine = true;
        const ByteSpan line = twinLine(text.data + start, style + start, end - start, fit);
        if (line.from != line.to) {
            if (result.changed.from == result.changed.to)
                result.changed.from = start + line.from;
            result.changed.to = start + line.to;
        }
        start = end + 1;
    }
    return result;
}

QList<ByteSpan> longLines(const TextView &text) {
    QList<ByteSpan> lines;
    const qsizetype first = text.offset;
    for (qsizetype start = first; start < first + text.size;) {
        const qsizetype end = lineEndFrom(text, start);
        if (end - start >= twinLineBytes)
            lines.append({start - first, end - first});
        start = end + 1;
    }
    return lines;
}

bool twinLongLines(const TextView &text, QByteArray &styles) {
    const QList<ByteSpan> lines = longLines(text);
    for (const ByteSpan &line : lines)
        if (line.to <= styles.size())
            alternateTwins(text.data + line.from, styles.data() + line.from, line.to - line.from);
    return !lines.isEmpty();
}

} // namespace marlix
