#include "core/script/HighlightStyling.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

// The colouring as a sequence of searches: entry by entry in table order, each occurrence
// searched from the end of the previous one and painted over what earlier entries left.
QByteArray reference(const QByteArray &text, const QList<HighlightPhrase> &entries) {
    QByteArray out(text.size(), '\0');
    const TextView view = TextView::whole(text);
    for (const HighlightPhrase &entry : entries) {
        qsizetype s = 0;
        for (;;) {
            const qsizetype c = findWholeWord(view, entry.phrase, s, text.size());
            if (c < 0)
                break;
            const qsizetype end = entry.toLineEnd ? lineEndFrom(view, c) : c + entry.phrase.size();
            for (qsizetype i = c; i < end; ++i)
                out[i] = char(entry.style);
            s = c + entry.phrase.size();
        }
    }
    return out;
}

QByteArray styles(const QByteArray &text, const QList<HighlightPhrase> &entries) {
    return highlightStyles(TextView::whole(text), entries);
}

} // namespace

TEST(HighlightStyling, LaterEntriesPaintOverEarlierOnes) {
    const QByteArray text = "rem Scout car\r\nscout";
    const QList<HighlightPhrase> entries{{"rem", true, 1}, {"Scout", false, 2}};
    EXPECT_EQ(styles(text, entries), QByteArray("\1\1\1\1\2\2\2\2\2\1\1\1\1\0\0\2\2\2\2\2", 20));
    // Reversed order: the line colour wins over the phrase.
    const QList<HighlightPhrase> reversed{{"Scout", false, 2}, {"rem", true, 1}};
    EXPECT_EQ(styles(text, reversed), QByteArray("\1\1\1\1\1\1\1\1\1\1\1\1\1\0\0\2\2\2\2\2", 20));
}

TEST(HighlightStyling, ToEndOfLineStopsAtEveryKindOfLineEnd) {
    const QByteArray text = "a rem x\rb\nrem\r\nc";
    const QByteArray got = styles(text, {{"rem", true, 7}});
    EXPECT_EQ(got, QByteArray("\0\0\7\7\7\7\7\0\0\0\7\7\7\0\0\0", 16));
}

TEST(HighlightStyling, EmptyTableAndEmptyPhraseColorNothing) {
    EXPECT_EQ(styles("rem x", {}), QByteArray(5, '\0'));
    EXPECT_EQ(styles("rem x", {{"", true, 3}}), QByteArray(5, '\0'));
}

TEST(HighlightStyling, OverlappingOccurrencesOfOnePhrase) {
    // "a a" occurs at 0 and, overlapping, at 2; the second search starts after the first.
    const QList<HighlightPhrase> entries{{"a a", false, 1}};
    EXPECT_EQ(styles("a a a a", entries), reference("a a a a", entries));
    EXPECT_EQ(styles("a a a a", entries), QByteArray("\1\1\1\0\1\1\1", 7));
}

TEST(HighlightStyling, AgreesWithOneSearchPerOccurrence) {
    QRandomGenerator random(1942);
    const QList<QByteArray> words{"rem",       "Rem", "if",         "x",      "a.b",    "b",
                                  "\xE9t\xE9", "_",   "obj.create", "Object", "object."};
    const QList<QByteArray> glue{" ", ".", "\r\n", "\n", "\r", "", "  ", "_"};
    for (int round = 0; round < 300; ++round) {
        QByteArray text;
        const int pieces = random.bounded(1, 40);
        for (int i = 0; i < pieces; ++i)
            text +=
                words[random.bounded(int(words.size()))] + glue[random.bounded(int(glue.size()))];
        QList<HighlightPhrase> entries;
        const int count = random.bounded(1, 6);
        for (int i = 0; i < count; ++i) {
            QByteArray phrase = words[random.bounded(int(words.size()))];
            if (random.bounded(4) == 0)
                phrase += " " + words[random.bounded(int(words.size()))];
            entries.append({phrase, random.bounded(2) == 0, static_cast<unsigned char>(i + 1)});
        }
        ASSERT_EQ(styles(text, entries), reference(text, entries))
            << "text: " << text.toStdString() << " round " << round;
    }
}

TEST(HighlightStyling, ALineEndIsFoundWhereverItStandsInTheBytesLookedAt) {
    // Line ends at every place of a word of eight bytes, among bytes just above and below
    // them and bytes with the top bit set, from every start.
    QRandomGenerator random(7);
    const char alphabet[] = {'\r', '\n', '\t', '\x0c', '\x0e', 'a', ' ', '\x8a', '\x8d', '\xff'};
    for (int round = 0; round < 300; ++round) {
        QByteArray text(random.bounded(0, 40), 'x');
        for (char &c : text)
            if (random.bounded(4) == 0)
                c = alphabet[random.bounded(int(sizeof alphabet))];
        for (qsizetype from = 0; from <= text.size(); ++from) {
            qsizetype expected = from;
            while (expected < text.size() && text[expected] != '\r' && text[expected] != '\n')
                ++expected;
            ASSERT_EQ(lineEndIn(text.constData(), from, text.size()), expected)
                << text.toHex().constData() << " from " << from;
        }
    }
}
