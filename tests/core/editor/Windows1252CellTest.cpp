// The rules under the Windows-1252 characters drawn over the editor's cells: which bytes get
// one, and the colours of the cell Scintilla painted below.
#include "core/script/CellColors.h"
#include "core/script/Windows1252.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(Windows1252, OffsetsFindEveryDefinedHighControlByteAndNothingElse) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QList<qsizetype> offsets = windows1252Offsets(all.constData(), all.size());
    ASSERT_EQ(offsets.size(), 27);
    for (qsizetype offset : offsets)
        EXPECT_NE(windows1252Character(static_cast<unsigned char>(all[offset])), 0) << offset;
    EXPECT_EQ(offsets.first(), 0x80);
    EXPECT_EQ(offsets.last(), 0x9F);

    const QByteArray text("a\x80\x81 \x99\xE9\x7F\x9D");
    EXPECT_EQ(windows1252Offsets(text.constData(), text.size()), (QList<qsizetype>{1, 4}));
    EXPECT_TRUE(windows1252Offsets(text.constData(), 0).isEmpty());
}

TEST(Windows1252, TheUtf8CopyKeepsEachBytesStyleOverItsCharacter) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const Utf8Styled copy = windows1252Utf8(all, QByteArray());
    EXPECT_EQ(QString::fromUtf8(copy.text), windows1252Text(all));
    EXPECT_EQ(copy.styles, QByteArray(copy.text.size(), 0));

    const QByteArray text("a\x80\xE9\x8A\x81z", 6);
    const Utf8Styled styled = windows1252Utf8(text, QByteArray("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(styled.text, QByteArray("a\xE2\x82\xAC\xC3\xA9\xC5\xA0\xC2\x81z"));
    EXPECT_EQ(styled.styles, QByteArray("\x01\x02\x02\x02\x03\x03\x04\x04\x05\x05\x00", 11));
}

TEST(CellColors, TheCellLooksLikeTheTextAroundIt) {
    CellState plain;
    plain.styleFore = 0x0000FF;
    plain.styleBack = 0x1E1E1E;
    EXPECT_EQ(cellColors(plain).back, 0x1E1E1Eu);
    EXPECT_EQ(cellColors(plain).fore, 0x0000FFu);

    CellState line = plain;
    line.onCaretLine = true;
    line.caretLineBack = 0x303030;
    EXPECT_EQ(cellColors(line).back, 0x303030u);

    // A selection wins over the caret line; without a foreground of its own the style's stays.
    CellState selected = line;
    selected.selected = true;
    selected.selectionBack = 0xC68C30;
    EXPECT_EQ(cellColors(selected).back, 0xC68C30u);
    EXPECT_EQ(cellColors(selected).fore, 0x0000FFu);
    selected.selectionFore = clWhite;
    EXPECT_EQ(cellColors(selected).fore, clWhite);
}

TEST(CellColors, TranslucentLayersTintInScintillasOrder) {
    CellState cell;
    cell.styleFore = clBlack;
    cell.styleBack = clWhite;
    // A find mark under the text tints the background only.
    cell.tints.append({0x0000FF, 128, false});
    EXPECT_EQ(cellColors(cell).back, 0x7F7FFFu);
    EXPECT_EQ(cellColors(cell).fore, clBlack);

    // A translucent selection is laid over the drawn text: both colours take its tint.
    cell.tints.clear();
    cell.selected = true;
    cell.selectionBack = 0xFF0000;
    cell.selectionAlpha = 51;
    EXPECT_EQ(cellColors(cell).back, 0xFFCCCCu);
    EXPECT_EQ(cellColors(cell).fore, 0x330000u);
    // A translucent caret line is laid over the whole line, selection included.
    cell.onCaretLine = true;
    cell.caretLineBack = clBlack;
    cell.caretLineAlpha = 255;
    EXPECT_EQ(cellColors(cell).back, clBlack);

    EXPECT_EQ(blendColor(0x000000, 0xFFFFFF, 0), 0x000000u);
    EXPECT_EQ(blendColor(0x000000, 0xFFFFFF, cellOpaque), 0xFFFFFFu);
    EXPECT_EQ(blendColor(0x00FF00, 0x0000FF, 255), 0x0000FFu);
}
