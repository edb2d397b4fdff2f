#include "core/script/TwinStyles.h"
#include "core/script/StyleTable.h"
#include "core/script/WrapRule.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace marlix;

namespace {
// Styles as letters: 'p' for plain, 't' for twin; the base style of every byte in `base`.
QByteArray pattern(const QByteArray &styles, int base) {
    QByteArray out;
    for (char s : styles) {
        const int style = static_cast<unsigned char>(s);
        EXPECT_EQ(baseStyle(style), base);
        out += style == base ? 'p' : 't';
    }
    return out;
}
} // namespace

TEST(TwinStyles, EveryColorStyleHasATwinThatMapsBack) {
    for (int style = 0; style <= StyleTable::lastStyle; ++style) {
        EXPECT_GT(twinStyle(style), StyleTable::lastStyle);
        EXPECT_LE(twinStyle(style), 255);
        EXPECT_EQ(baseStyle(twinStyle(style)), style);
        EXPECT_EQ(baseStyle(style), style);
        EXPECT_EQ(twinStyle(twinStyle(style)), twinStyle(style));
    }
}

TEST(TwinStyles, PiecesStayShortAndChangeOnlyWhereAWrapMayBreak) {
    QByteArray text = "  rem a.b/c  \tx y ";
    for (int i = 0; i < 40; ++i)
        text += QByteArray("word") + QByteArray(i % 9, 'w') + (i % 5 ? " " : "\t  ");
    text += QByteArray(45, 'L') + " tail";
    QByteArray styles(text.size(), char(5));
    const ByteSpan changed = alternateTwins(text.constData(), styles.data(), text.size());
    const QByteArray twins = pattern(styles, 5);
    qsizetype pieceStart = 0, pieces = 1, words = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        const bool wordStart = i < text.size() && (text[i - 1] == ' ' || text[i - 1] == '\t') &&
                               text[i] != ' ' && text[i] != '\t';
        words += wordStart;
        if (i < text.size() && twins[i] == twins[i - 1])
            continue;
        // A piece ends only before a word, and is shorter than the control remembers unless
        // it is one word that long.
        if (i < text.size()) {
            ASSERT_TRUE(wordStart) << i;
        }
        const QByteArray piece = text.mid(pieceStart, i - pieceStart);
        if (piece.size() >= measuredPieceBytes) {
            EXPECT_EQ(piece.trimmed().count(' ') + piece.trimmed().count('\t'), 0) << piece.data();
        }
        pieceStart = i;
        pieces += i < text.size();
    }
    // Short words share their pieces.
    EXPECT_LT(pieces, words / 2);
    EXPECT_GT(pieces, 10);
    EXPECT_EQ(twins.left(1), "p");
    EXPECT_EQ(changed.from, twins.indexOf('t'));
    EXPECT_EQ(changed.to, twins.lastIndexOf('t') + 1);
    // Alternating again changes nothing.
    const ByteSpan again = alternateTwins(text.constData(), styles.data(), text.size());
    EXPECT_EQ(again.from, again.to);
}

TEST(TwinStyles, RecoloredPartOfALineAlternatesAsIfFresh) {
    const QByteArray text = "ObjectTemplate.setPosition 0/1.25/3 rem weapon rem x";
    QByteArray fresh(text.size(), char(3));
    fresh[0] = char(7); // a different colour keeps its own base style
    alternateTwins(text.constData(), fresh.data(), text.size());
    // The same line with stale twins: part of it coloured plainly again, part left twinned
    // where it should now be plain.
    QByteArray stale = fresh;
    for (qsizetype i = 36; i < stale.size(); ++i)
        stale[i] = char(3);
    stale[30] = char(stale[30] == char(3) ? twinStyle(3) : 3);
    const ByteSpan changed = alternateTwins(text.constData(), stale.data(), text.size());
    EXPECT_EQ(stale, fresh);
    EXPECT_EQ(changed.from, 30);
    EXPECT_EQ(baseStyle(static_cast<unsigned char>(stale[0])), 7);
}

TEST(TwinStyles, OnlyLongLinesGetTwins) {
    const QByteArray shortLine = "rem a b c";
    QByteArray longLine;
    while (longLine.size() < twinLineBytes)
        longLine += "rem weapon ";
    longLine.truncate(twinLineBytes);
    const QByteArray almost = longLine.left(twinLineBytes - 1);
    const QByteArray text = shortLine + "\r\n" + longLine + "\n" + almost + "\r" + longLine;
    QByteArray styles(text.size(), char(2));
    EXPECT_TRUE(twinLongLines(TextView::whole(text), styles));
    auto twins = [&](qsizetype from, qsizetype size) {
        qsizetype count = 0;
        for (qsizetype i = from; i < from + size; ++i)
            count += styles[i] != char(2);
        return count;
    };
    const QList<ByteSpan> lines = longLines(TextView::whole(text));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].from, shortLine.size() + 2);
    EXPECT_EQ(lines[0].to, lines[0].from + twinLineBytes);
    EXPECT_EQ(lines[1].to, text.size());
    EXPECT_EQ(twins(0, shortLine.size() + 2), 0);
    QByteArray shortStyles(shortLine.size(), char(2));
    EXPECT_FALSE(twinLongLines(TextView::whole(shortLine), shortStyles));
    const qsizetype second = shortLine.size() + 2;
    EXPECT_GT(twins(second, longLine.size()), twinLineBytes / 3);
    // "rem weapon rem weapon rem " is one piece, the next "weapon " starts a twin one.
    EXPECT_EQ(styles[second + 25], char(2));
    EXPECT_EQ(styles[second + 26], char(twinStyle(2)));
    EXPECT_EQ(twins(second + longLine.size(), almost.size() + 2), 0);
    EXPECT_EQ(twins(text.size() - longLine.size(), longLine.size()),
              twins(second, longLine.size()));
}

// A long line without blanks stayed one piece, measured afresh after every key.
TEST(TwinStyles, AnUnwrappedLineIsCutInsideWordsAndAWrappedOneIsNot) {
    const QByteArray unwrapped(unwrappedLineBytes, 'x');
    QByteArray styles(unwrapped.size(), char(3));
    alternateTwins(unwrapped.constData(), styles.data(), unwrapped.size());
    const QByteArray twins = pattern(styles, 3);
    qsizetype run = 1, longest = 1;
    for (qsizetype i = 1; i < twins.size(); ++i) {
        run = twins[i] == twins[i - 1] ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    EXPECT_EQ(longest, measuredPieceBytes - 1);

    // Below that length word wrap may break the line, and only where a word begins.
    const QByteArray wrapped(unwrappedLineBytes - 1, 'x');
    QByteArray plain(wrapped.size(), char(3));
    alternateTwins(wrapped.constData(), plain.data(), wrapped.size());
    EXPECT_EQ(pattern(plain, 3), QByteArray(wrapped.size(), 'p'));
}

TEST(TwinStyles, ALineFitsOnlyWhenEvenItsWidestBytesStayInsideTheArea) {
    const LineFit fit{10, 40, 38, 200};
    EXPECT_TRUE(fit.fits("0123456789012345678", 19));   // 190 px
    EXPECT_FALSE(fit.fits("01234567890123456789", 20)); // 200 px reaches the edge
    EXPECT_FALSE(fit.fits("\t\t\t\t\t", 5));            // 5 tab stops
    EXPECT_TRUE(fit.fits("\tab", 3));
    EXPECT_FALSE(fit.fits("\x01\x02\x03\x04\x05\x06", 6)); // control bytes drawn as blobs
    EXPECT_FALSE(fit.fits("\x81\x82\x83\x84\x85\x86", 6));
    EXPECT_FALSE(LineFit{}.fits("a", 1)); // nothing measured yet: nothing fits
    EXPECT_TRUE((LineFit{10, 40, 38, 300}).holdsAll(fit));
    EXPECT_FALSE(fit.holdsAll(LineFit{10, 40, 38, 300}));
    EXPECT_FALSE((LineFit{12, 40, 38, 300}).holdsAll(fit)); // a wider font
}

TEST(TwinStyles, ALineFitsExactlyAsItsBytesAddUpWhateverTheirMix) {
    // Each byte at the room it may take: lines of every length around the area's edge, with
    // tabs, control bytes and high blobs among the letters.
    QRandomGenerator random(1942);
    const char bytes[] = {'a', 'W', ' ', '\t', '\x01', '\x7F', '\x85', '\xE9', '.'};
    for (int round = 0; round < 2000; ++round) {
        const LineFit fit{random.bounded(1, 14), random.bounded(0, 80), random.bounded(0, 40),
                          random.bounded(1, 400)};
        QByteArray line;
        const int size = random.bounded(0, 60);
        const bool plain = random.bounded(3) == 0;
        for (int i = 0; i < size; ++i)
            line += plain ? 'a' : bytes[random.bounded(int(sizeof bytes))];
        const qint64 widest = std::max(fit.widestChar, 1);
        qint64 width = 0;
        for (const char c : line) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\t')
                width += std::max<qint64>(fit.tabSpan, widest);
            else if (u < 0x20 || (u >= 0x7F && u < 0xA0))
                width += std::max<qint64>(fit.wideByte, widest);
            else
                width += widest;
        }
        EXPECT_EQ(fit.fits(line.constData(), line.size()), width < fit.areaWidth)
            << line.toHex().constData() << " in " << fit.areaWidth;
    }
}

TEST(TwinStyles, ALineThatFitsIsCutIntoWordsAndSingleSigns) {
    const QByteArray text = "Object.absolutePosition 10/2.5";
    QByteArray styles(text.size(), '\0');
    splitTwins(text.constData(), styles.data(), text.size());
    // Each letter run stays whole; digits and signs stand alone; blanks run together.
    EXPECT_EQ(pattern(styles, 0),
              QByteArray("pppppp") + "t" + QByteArray(16, 'p') + "t" + "ptptpt");
    // A coloured command keeps its colour and still alternates after it.
    QByteArray colored(text.size(), '\0');
    for (int i = 0; i < 23; ++i)
        colored[i] = 5;
    splitTwins(text.constData(), colored.data(), text.size());
    for (int i = 0; i < text.size(); ++i)
        EXPECT_EQ(baseStyle(static_cast<unsigned char>(colored[i])), i < 23 ? 5 : 0);
    // A word of 30 letters or more is cut, so no piece is too long to be remembered.
    const QByteArray word(70, 'x');
    QByteArray wordStyles(word.size(), '\0');
    splitTwins(word.constData(), wordStyles.data(), word.size());
    int run = 1;
    for (int i = 1; i < word.size(); ++i) {
        run = wordStyles[i] == wordStyles[i - 1] ? run + 1 : 1;
        EXPECT_LT(run, measuredPieceBytes);
    }
}

// Whether twins change only where a word follows a blank, where word wrap may break a line
// anyway.
bool twinsOnlyAtWordStarts(const QByteArray &text, const QByteArray &styles) {
    for (qsizetype i = 1; i < text.size(); ++i) {
        const bool change = (static_cast<unsigned char>(styles[i]) >= twinOffset) !=
                            (static_cast<unsigned char>(styles[i - 1]) >= twinOffset);
        const bool wordStart =
            (text[i - 1] == ' ' || text[i - 1] == '\t') && text[i] != ' ' && text[i] != '\t';
        if (change && !wordStart)
            return false;
    }
    return true;
}

TEST(TwinStyles, ALineThatMayWrapKeepsTwinsOnlyWhereItMayBreak) {
    const QByteArray text = "ObjectTemplate.setPosition 0/1.25/3 rem and a remark that goes on";
    QByteArray styles(text.size(), '\0');
    const LineFit wide{8, 32, 32, 2000};
    twinLine(text.constData(), styles.data(), text.size(), wide);
    EXPECT_FALSE(twinsOnlyAtWordStarts(text, styles)); // cut into words and signs
    // The window narrowed: the line may now wrap, and a twin inside a word would be a place
    // to break it; between words the control may break it anyway.
    const LineFit narrow{8, 32, 32, 200};
    const ByteSpan changed = twinLine(text.constData(), styles.data(), text.size(), narrow);
    EXPECT_TRUE(twinsOnlyAtWordStarts(text, styles));
    EXPECT_GT(pattern(styles, 0).count('t'), 0); // its words are still pieces of their own
    EXPECT_LT(changed.from, changed.to);
    // Nothing left to change the second time.
    const ByteSpan again = twinLine(text.constData(), styles.data(), text.size(), narrow);
    EXPECT_EQ(again.from, again.to);
    // Without a text area measured (a small script), a line keeps its plain styles.
    QByteArray plain(text.size(), '\0');
    twinLine(text.constData(), plain.data(), text.size(), LineFit{});
    EXPECT_EQ(pattern(plain, 0).count('t'), 0);
}

TEST(TwinStyles, EveryLineOfATextTakesItsOwnRule) {
    QByteArray text = "a.b\r\n" + QByteArray(300, 'w') + "\r\nc/d";
    QByteArray styles(text.size(), '\0');
    const TwinResult result = twinLines(TextView::whole(text), styles, LineFit{8, 32, 32, 800});
    EXPECT_FALSE(result.longLine);
    EXPECT_EQ(pattern(styles.left(3), 0), QByteArray("ptp"));
    EXPECT_EQ(pattern(styles.mid(5, 300), 0).count('t'), 0); // 2400 px: may wrap
    EXPECT_EQ(pattern(styles.right(3), 0), QByteArray("ptp"));
    EXPECT_EQ(result.changed.from, 1);
    EXPECT_EQ(result.changed.to, text.size() - 1);
}
