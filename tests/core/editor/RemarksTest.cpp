#include "core/script/Remarks.h"
#include "core/script/HighlightStyling.h"
#include "core/script/LineEnds.h"
#include "core/script/ObjectScan.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

BlockMark mark(const QByteArray &line) {
    return blockMarkOf(line.constData(), line.size());
}

bool remark(const QByteArray &text, qsizetype pos) {
    return inRemark(TextView::whole(text), pos);
}

QByteArrayList names(const QByteArray &text) {
    QByteArrayList result;
    for (const ObjectRow &row : scanObjects(TextView::whole(text)))
        result.append(row.type + row.name);
    return result;
}

} // namespace

TEST(Remarks, BlockMarksAreTheFirstWordOfALineInAnyLetterCase) {
    EXPECT_EQ(mark("beginRem"), BlockMark::Begin);
    EXPECT_EQ(mark("  BEGINREM old vehicles"), BlockMark::Begin);
    EXPECT_EQ(mark("\tendrem"), BlockMark::End);
    EXPECT_EQ(mark("beginRemark"), BlockMark::None);
    EXPECT_EQ(mark("rem beginRem"), BlockMark::None);
    EXPECT_EQ(mark("x endRem"), BlockMark::None);
    EXPECT_EQ(mark(""), BlockMark::None);
}

TEST(Remarks, BlocksRunFromBeginToEndAndDoNotNest) {
    const QByteArray text = "a\r\nbeginRem\r\nb\r\nbeginrem\r\nc\r\nendRem\r\nd\nbeginRem\ne";
    const QList<RemBlock> spans = remBlockLines(TextView::whole(text));
    ASSERT_EQ(spans.size(), 2);
    EXPECT_EQ(spans[0].first, 1);
    EXPECT_EQ(spans[0].last, 5); // the second beginRem opens nothing more; endRem closes
    EXPECT_EQ(text.mid(spans[0].from, spans[0].to - spans[0].from),
              "beginRem\r\nb\r\nbeginrem\r\nc\r\nendRem");
    EXPECT_EQ(spans[1].first, 7); // never closed: to the end of the text
    EXPECT_EQ(spans[1].last, 8);
    EXPECT_EQ(spans[1].to, text.size());
    EXPECT_TRUE(remBlockLines(TextView::whole(QByteArray("endRem\r\nrem x"))).isEmpty());
}

TEST(Remarks, BlockStatesOfAPieceFollowTheStateBeforeIt) {
    const QByteArray text = "a\r\nbeginRem\r\nb\r\nENDREM x\r\nc\nbeginrem\r\nd";
    const QList<bool> whole = blockOpenAfterLines(TextView::whole(text), false);
    EXPECT_EQ(whole, (QList<bool>{false, true, true, false, false, true, true}));
    // A piece that starts inside a block, and one without any mark.
    EXPECT_EQ(blockOpenAfterLines(TextView::whole(QByteArray("b\r\nendRem\r\nc")), true),
              (QList<bool>{true, false, false}));
    EXPECT_EQ(blockOpenAfterLines(TextView::whole(QByteArray("x\r\ny")), true),
              (QList<bool>{true, true}));
    EXPECT_EQ(blockOpenAfterLines(TextView::whole(QByteArray("x\r\nendRem")), false),
              (QList<bool>{false, false}));
    EXPECT_EQ(blockOpenAfterLines(TextView::whole(QByteArray()), true), (QList<bool>{true}));
}

TEST(Remarks, PositionsAfterRemOrInsideABlockAreRemarks) {
    const QByteArray text = "ObjectTemplate.x rem ObjectTemplate.y\r\n"
                            "remark ObjectTemplate.z\r\n"
                            "beginRem\r\n"
                            "ObjectTemplate.w\r\n"
                            "endRem\r\n"
                            "ObjectTemplate.v";
    EXPECT_FALSE(remark(text, 0));
    EXPECT_FALSE(remark(text, 17));          // "rem" itself has not begun the remark yet
    EXPECT_TRUE(remark(text, 21));           // after "rem "
    EXPECT_FALSE(remark(text, 46));          // "remark" is another word
    EXPECT_TRUE(remark(text, 65));           // the beginRem line
    EXPECT_TRUE(remark(text, 75));           // inside the block
    EXPECT_TRUE(remark(text, 92));           // the endRem line
    EXPECT_FALSE(remark(text, text.size())); // after the block
    EXPECT_TRUE(remBeforeColumn("x rem", 5, 5));
    EXPECT_FALSE(remBeforeColumn("x rem", 5, 4));
}

TEST(HighlightStyling, ABlockTakesTheColorOfRemAndLaterEntriesPaintOverIt) {
    const QList<HighlightPhrase> entries{{"if", false, 3}, {"rem", true, 1}, {"Scout", false, 2}};
    const QByteArray text = "if x\r\nbeginRem\r\nif Scout\r\nendRem\r\nif";
    const QByteArray got = highlightStyles(TextView::whole(text), entries);
    EXPECT_EQ(got.mid(0, 2), QByteArray("\3\3"));
    EXPECT_EQ(got.mid(6, 8), QByteArray(8, '\1'));                // beginRem
    EXPECT_EQ(got.mid(16, 8), QByteArray("\1\1\1\2\2\2\2\2", 8)); // if Scout: Scout wins
    EXPECT_EQ(got.mid(26, 6), QByteArray(6, '\1'));               // endRem
    EXPECT_EQ(got.mid(26 + 8, 2), QByteArray("\3\3"));            // code again
    EXPECT_EQ(got.at(14), '\0');                                  // line ends stay plain
    // Without a rem entry a block keeps the colours of its phrases.
    const QByteArray plain =
        highlightStyles(TextView::whole(text), {{"if", false, 3}, {"Scout", false, 2}});
    EXPECT_EQ(plain.mid(16, 8), QByteArray("\3\3\0\2\2\2\2\2", 8));
}

TEST(HighlightStyling, PiecesOfLinesTellTheBlockStateAfterEachLine) {
    const PhraseHighlighter highlighter({{"rem", true, 1}});
    QList<bool> openAfter;
    const QByteArray piece = "x\r\nendRem\r\ny";
    const QByteArray got = highlighter.styles(TextView::whole(piece), true, &openAfter);
    EXPECT_EQ(got, QByteArray("\1\0\0\1\1\1\1\1\1\0\0\0", 12));
    EXPECT_EQ(openAfter, (QList<bool>{true, false, false}));
    highlighter.styles(TextView::whole(QByteArray("beginRem\r\n")), false, &openAfter);
    EXPECT_EQ(openAfter, (QList<bool>{true, true})); // the empty last line is one too
}

TEST(ObjectScan, ObjectsInRemarksAndLinesWithoutANameAreLeftOut) {
    EXPECT_EQ(names("ObjectTemplate.create Vehicle A\r\n"
                    "rem ObjectTemplate.create Vehicle B\r\n"
                    "x rem ObjectTemplate.create Vehicle C\r\n"
                    "ObjectTemplate.create Vehicle D rem ObjectTemplate.create Vehicle E\r\n"
                    "beginRem\r\n"
                    "ObjectTemplate.create Vehicle F\r\n"
                    "endRem\r\n"
                    "ObjectTemplate.create\r\n"
                    "ObjectTemplate.create   \t\r\n"
                    "ObjectTemplate.create Vehicle G"),
              (QByteArrayList{"Vehicle A", "Vehicle D rem ObjectTemplate.create Vehicle E",
                              "Vehicle G"}));
    // A remark is a word: "remark" before the keyword is code.
    EXPECT_EQ(names("remark ObjectTemplate.create Vehicle H"), QByteArrayList{"Vehicle H"});
}

TEST(LineEnds, OnlyAllLfFilesAreSavedWithLf) {
    EXPECT_EQ(lineEndOf("a\nb\n"), LineEnd::Lf);
    EXPECT_EQ(lineEndOf("a\nb"), LineEnd::Lf);
    EXPECT_EQ(lineEndOf("a\r\nb\n"), LineEnd::CrLf); // mixed
    EXPECT_EQ(lineEndOf("a\rb"), LineEnd::CrLf);
    EXPECT_EQ(lineEndOf("one line"), LineEnd::CrLf);
    EXPECT_EQ(lineEndOf(""), LineEnd::CrLf);
    EXPECT_EQ(scriptFileBytes("a\r\nb", LineEnd::Lf), QByteArray("a\nb\n"));
    EXPECT_EQ(scriptFileBytes("a\r\nb\r\n", LineEnd::Lf), QByteArray("a\nb\n\n"));
    EXPECT_EQ(scriptFileBytes("a\r\nb", LineEnd::CrLf), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(scriptFileBytes("", LineEnd::Lf), QByteArray());
}
