#include "core/script/WordSearch.h"

#include <QList>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

qsizetype find(const QByteArray &text, const QByteArray &word, qsizetype start = 0,
               qsizetype length = 1 << 20) {
    return findWholeWord(TextView::whole(text), word, start, length);
}

} // namespace

TEST(WordSearch, FindsWholeWordsIgnoringCase) {
    EXPECT_EQ(find("Scout car", "scout"), 0);
    EXPECT_EQ(find("MyScout SCOUT", "Scout"), 8);
    EXPECT_EQ(find("Scouts", "Scout"), -1);
    EXPECT_EQ(find("a_scout scout_b scout", "scout"), 16); // underscore is a word character
    EXPECT_EQ(find("scout2 scout", "scout"), 7);
    EXPECT_EQ(find("x(scout)", "scout"), 2);
    EXPECT_EQ(find("", "scout"), -1);
    EXPECT_EQ(find("abc", ""), -1);
}

TEST(WordSearch, PhrasesWithPunctuation) {
    EXPECT_EQ(find("ObjectTemplate.create x", "objecttemplate.create"), 0);
    EXPECT_EQ(find("myobjecttemplate.create objecttemplate.createX", "objecttemplate.create"), -1);
    // A phrase ending in a dot still needs a non-word character before it.
    EXPECT_EQ(find("MyObject. Object.", "Object."), 10);
    EXPECT_EQ(find("a.b.", "b."), 2);
}

TEST(WordSearch, Latin1LettersAreWordCharactersAndFold) {
    EXPECT_EQ(find("\xC9T\xC9 \xE9t\xE9", "\xE9t\xE9"), 0);
    EXPECT_EQ(find("caf\xE9s caf\xC9", "caf\xE9"), 6);
    EXPECT_EQ(find("\xE0rem rem", "rem"), 5);
    EXPECT_EQ(find("\xD7rem", "rem"), 1); // the multiplication sign is no letter
    EXPECT_EQ(find("\xFFrem", "rem"), -1);
}

TEST(WordSearch, RangeIsClippedAndBoundariesLookOutsideIt) {
    const QByteArray text = "rem one rem";
    EXPECT_EQ(find(text, "rem", 1), 8);
    EXPECT_EQ(find(text, "rem", 0, 2), -1);   // the match must end inside the range
    EXPECT_EQ(find(text, "rem", 8, 100), 8);  // a range past the end stops at the end
    EXPECT_EQ(find(text, "rem", -1, 4), -1);  // a start before the text finds nothing
    EXPECT_EQ(find("xrem", "rem", 1, 3), -1); // the byte before the range counts
    EXPECT_EQ(find("remx", "rem", 0, 3), -1); // and the byte after it
}

TEST(WordSearch, WindowOfALargerDocument) {
    const QByteArray document = "lots of text before my phrase";
    const qsizetype offset = 19;
    const QByteArray window = document.mid(offset);
    const TextView view{window.constData(), window.size(), offset, document.size()};
    EXPECT_EQ(findWholeWord(view, "phrase", document.size() - 6, 6), 23);
    EXPECT_EQ(findWholeWord(view, "my", 20, 2), 20);
    const QByteArray tail = document.mid(21, 4); // " phr"
    const TextView cut{tail.constData(), tail.size(), 21, document.size()};
    EXPECT_EQ(findWholeWord(cut, "phr", 22, 3), -1); // "phrase" goes on after the window
}

TEST(WordSearch, ALongStretchFindsWhatAShortOneFindsWhateverTheCaseAndTheWindow) {
    // Long stretches skip to one byte of the word with memchr; they must find exactly the
    // matches a position-by-position search finds, for a word with a byte without case and
    // for one of letters only, also in a window that starts inside the text.
    QByteArray text;
    for (int i = 0; i < 3000; ++i) {
        if (i % 7 == 0)
            text += "ObjectTemplate.Create Bunker" + QByteArray::number(i);
        else if (i % 7 == 1)
            text += "myObjectTemplate.create x xbeginrem"; // not whole words
        else if (i % 7 == 2)
            text += "objecttemplate.createx y BeginRem";
        else if (i % 7 == 3)
            text += "OBJECTTEMPLATE.CREATE\xC9 BEGINREM\xC9"; // a Latin letter: not whole
        else if (i % 7 == 4)
            text += "  beginREM";
        else
            text += "ObjectTemplate.setNetworkableInfo BunkerInfo";
        text += (i % 2) ? "\r\n" : "\n";
    }
    const qsizetype offset = 1000;
    const TextView window{text.constData() + offset, text.size() - offset, offset, text.size()};
    for (const QByteArray &word : {QByteArray("objecttemplate.create"), QByteArray("beginrem")}) {
        QList<qsizetype> anchored, stepped;
        for (qsizetype at = findFoldedWholeWord(window, word, offset, text.size()); at >= 0;
             at = findFoldedWholeWord(window, word, at + 1, text.size()))
            anchored += at;
        for (qsizetype at = offset; at < text.size(); ++at) // stretches of the word's length
            if (findFoldedWholeWord(window, word, at, word.size()) == at)
                stepped += at;
        EXPECT_EQ(anchored, stepped) << word.constData();
        EXPECT_GT(anchored.size(), 400) << word.constData();
    }
}
