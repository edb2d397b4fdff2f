#include "core/script/FoldLevels.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

// Each line as its depth, with "+" for a line that opens a block.
QStringList shape(const QByteArray &text) {
    QStringList result;
    for (const FoldLine &line : foldLines(TextView::whole(text)))
        result.append(QString::number(line.depth) + (line.header ? QStringLiteral("+") : ""));
    return result;
}

} // namespace

TEST(FoldLevels, EachTemplateBlockRunsToTheNextTemplateLine) {
    const QByteArray text = "rem header\r\n"
                            "ObjectTemplate.create PlayerControlObject Sherman\r\n"
                            "ObjectTemplate.setNetworkableInfo BasicInfo\r\n"
                            "\r\n"
                            "objecttemplate.ACTIVE Sherman\r\n"
                            "ObjectTemplate.addTemplate ShermanHull\r\n"
                            "rem ObjectTemplate.create Bundle Commented\r\n"
                            "ObjectTemplate.createX not a template line\r\n";
    EXPECT_EQ(shape(text), (QStringList{"0", "0+", "1", "1", "0+", "1", "1", "1", "1"}));
}

TEST(FoldLevels, IfBlocksNestAndCloseTheTemplatesBegunInThem) {
    const QByteArray text = "ObjectTemplate.create Bundle Outer\n"
                            "if v_arg1 == host\n"
                            "  ObjectTemplate.create Bundle Inner\n"
                            "  ObjectTemplate.setHasMobilePhysics 1\n"
                            "  IF v_arg2 == 1\n"
                            "    run more.con\n"
                            "  endIf\n"
                            "ENDIF\n"
                            "ObjectTemplate.addTemplate Wheel\n"
                            "endIf\n"; // no if open: an ordinary line of the template
    EXPECT_EQ(shape(text),
              (QStringList{"0+", "1+", "2+", "3", "3+", "4", "4", "2", "1", "1", "1"}));
}

TEST(FoldLevels, RemarkBlocksHideEverythingButTheirEnd) {
    const QByteArray text = "beginRem\n"
                            "if x\n"
                            "ObjectTemplate.create Tank T\n"
                            "beginrem\n"
                            "ENDREM\n"
                            "endIf\n";
    EXPECT_EQ(shape(text), (QStringList{"0+", "1", "1", "1", "1", "0", "0"}));
    // A block never closed runs to the end of the text.
    EXPECT_EQ(shape("a\nbeginRem\nb"), (QStringList{"0", "0+", "1"}));
}

TEST(FoldLevels, CarryingOnFromAnyLineGivesTheWholePass) {
    const QByteArray text = "if a\nObjectTemplate.create A\nbeginRem\nx\nendRem\nendIf\nb\n";
    const QList<FoldLine> whole = foldLines(TextView::whole(text));
    const QByteArrayList lines = text.split('\n');
    FoldStack stack;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const FoldLine line = foldLine(stack, lines[i].constData(), lines[i].size());
        EXPECT_EQ(line.depth, whole[i].depth) << i;
        EXPECT_EQ(line.header, whole[i].header) << i;
        EXPECT_TRUE(line.after == whole[i].after) << i;
        // The state survives being kept on a line.
        stack = FoldStack::fromBits(line.after.bits());
    }
}

TEST(FoldLevels, APieceOfLinesCarriesOnFromTheBlocksOpenBeforeIt) {
    // Cut after every line, CR LF line ends kept: the pieces give what the whole pass gives.
    const QByteArray text = "if a\r\nObjectTemplate.create A\r\nbeginRem\r\nx\r\nendRem\r\n"
                            "ObjectTemplate.active B\r\nendIf\r\nb";
    const QList<FoldLine> whole = foldLines(TextView::whole(text));
    ASSERT_EQ(whole.size(), 8);
    for (qsizetype cut = text.indexOf('\n'); cut > 0; cut = text.indexOf('\n', cut + 1)) {
        const int before = int(text.left(cut).count('\n'));
        const QByteArray rest = text.mid(cut + 1);
        const QList<FoldLine> piece = foldLines(TextView::whole(rest), whole[before].after);
        ASSERT_EQ(piece.size(), whole.size() - before - 1) << cut;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            EXPECT_EQ(piece[i].depth, whole[before + 1 + i].depth) << cut << " " << i;
            EXPECT_EQ(piece[i].header, whole[before + 1 + i].header) << cut << " " << i;
            EXPECT_TRUE(piece[i].after == whole[before + 1 + i].after) << cut << " " << i;
        }
    }
}

TEST(FoldLevels, TooDeepNestingStopsFoldingButKeepsTheOuterBlocks) {
    QByteArray text;
    for (int i = 0; i < FoldStack::MaxDepth + 2; ++i)
        text += "if a\n";
    const QList<FoldLine> lines = foldLines(TextView::whole(text));
    EXPECT_TRUE(lines[FoldStack::MaxDepth - 1].header);
    EXPECT_FALSE(lines[FoldStack::MaxDepth].header);
    EXPECT_EQ(lines.last().after.depth(), FoldStack::MaxDepth);
    EXPECT_LT(lines.last().after.bits(), 1u << 30); // fits beside the editor's own line bit
}

TEST(FoldLevels, LinesEndAtCrLfAndLoneCrAsTheControlCountsThem) {
    // Old scripts saved on other systems may end lines with a lone CR.
    const QByteArray text = "if a\rObjectTemplate.create A\r\nx\nendIf\rb";
    EXPECT_EQ(shape(text), (QStringList{"0+", "1+", "2", "1", "0"}));
}
