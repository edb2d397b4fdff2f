#include "core/script/LinePieceFeed.h"
#include "core/script/HighlightStyling.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace marlix;

namespace {

// Templates, conditions, remark blocks, a long line, and lines ended by CR LF, LF and a lone
// CR, ending in a line end: every kind of boundary a piece can meet.
QByteArray mixedScript(int repeats) {
    QByteArray text;
    for (int i = 0; i < repeats; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "ObjectTemplate.create SimpleObject part_" + n + "\r\n";
        text += "if v_arg1 == host\nrem inside\r  ObjectTemplate.setPosition 0/1/" + n + "\r\n";
        if (i % 7 == 3)
            text += "beginRem\r\nObjectTemplate.create Bundle old\nendRem\r\n";
        if (i % 11 == 5)
            text += "rem " + QByteArray(5000, 'x').replace(100, 1, " ") + "\r\n";
        text += "endIf\r\n\r\n";
    }
    return text;
}

std::shared_ptr<const PhraseHighlighter> table() {
    return std::make_shared<const PhraseHighlighter>(
        QList<HighlightPhrase>{{"ObjectTemplate.create", false, 1},
                               {"rem", true, 2},
                               {"if", false, 3},
                               {"endIf", false, 3},
                               {"host", false, 4}});
}

// Takes every piece, waiting for the feed's call whenever none is done yet.
struct Taker {
    std::mutex lock;
    std::condition_variable called;
    int calls = 0;
    int waits = 0;

    std::function<void()> ready() {
        return [this] {
            const std::lock_guard<std::mutex> hold(lock);
            ++calls;
            called.notify_all();
        };
    }
    QList<LinePiece> takeAll(LinePieceFeed &feed,
                             std::chrono::microseconds wait = std::chrono::microseconds(0)) {
        QList<LinePiece> pieces;
        while (!feed.exhausted()) {
            std::unique_lock<std::mutex> hold(lock);
            const int before = calls;
            hold.unlock();
            if (std::optional<LinePiece> piece = feed.take(wait)) {
                pieces.append(std::move(*piece));
                continue;
            }
            if (feed.exhausted())
                break;
            // Nothing was done: the feed must call once the next piece is.
            ++waits;
            hold.lock();
            if (!called.wait_for(hold, std::chrono::seconds(10), [&] { return calls > before; }))
                ADD_FAILURE() << "the feed did not call back";
        }
        return pieces;
    }
};

// The pieces of `text` from byte `from` (a line start) against one pass over the whole text.
void expectPiecesAddUpToAWholePass(const QByteArray &text, qsizetype from, qsizetype pieceBytes) {
    SCOPED_TRACE(pieceBytes);
    const auto highlighter = table();
    const LineFit fit{8, 32, 32, 600};
    QList<bool> openAfter;
    QByteArray styles = highlighter->styles(TextView::whole(text), false, &openAfter);
    twinLines(TextView::whole(text), styles, fit);
    const QList<FoldLine> folds = foldLines(TextView::whole(text));

    // Where the text from `from` starts, as the editor would tell it.
    const int firstLine = int(foldLines(TextView::whole(text.constData(), from)).size()) - 1;
    const LineRunStart start{from, firstLine, firstLine > 0 && openAfter[firstLine - 1],
                             firstLine > 0 ? folds[firstLine - 1].after : FoldStack()};
    Taker taker;
    // The feed is given more than the document, as the editor gives it a file's bytes with
    // the line end after the last line.
    LinePieceFeed feed(text + "\r\nbeyond the document", from, text.size(), start, highlighter, fit,
                       taker.ready(), pieceBytes);
    const QList<LinePiece> pieces = taker.takeAll(feed);

    ASSERT_FALSE(pieces.isEmpty());
    qsizetype position = from;
    int line = firstLine;
    for (const LinePiece &piece : pieces) {
        ASSERT_EQ(piece.start.position, position);
        ASSERT_EQ(piece.start.line, line);
        ASSERT_EQ(piece.start.remarkBlockOpen, line > 0 && openAfter[line - 1]);
        ASSERT_EQ(piece.start.folds.bits(), line > 0 ? folds[line - 1].after.bits() : 0u);
        ASSERT_EQ(piece.openAfter.size(), piece.lineCount());
        ASSERT_EQ(piece.longLine,
                  !longLines(TextView::whole(text.constData() + position, piece.styles.size()))
                       .isEmpty());
        ASSERT_EQ(piece.styles, styles.mid(position, piece.styles.size())) << "at " << position;
        for (int i = 0; i < piece.lineCount(); ++i) {
            ASSERT_EQ(piece.openAfter[i], openAfter[line + i]) << "line " << line + i;
            ASSERT_EQ(piece.folds[i].depth, folds[line + i].depth) << "line " << line + i;
            ASSERT_EQ(piece.folds[i].header, folds[line + i].header) << "line " << line + i;
        }
        // A piece ends before a line end and never between the CR and LF of one.
        const qsizetype end = position + piece.styles.size();
        ASSERT_TRUE(end == text.size() || text[end] == '\r' || text[end] == '\n');
        position = afterLineEnd(text.constData(), end, text.size());
        line += piece.lineCount();
        if (end == text.size())
            position = end + 1;
    }
    EXPECT_EQ(position, text.size() + 1) << "the last piece ends with the text";
    EXPECT_EQ(line, folds.size());
}

} // namespace

TEST(LinePieceFeed, PiecesFollowOnAndAddUpToAWholePassOfTheText) {
    const QByteArray text = mixedScript(60);
    ASSERT_TRUE(text.endsWith("\r\n"));
    // Pieces of one line each, pieces that end next to a CR LF, and one piece for it all.
    for (const qsizetype bytes : {1, 7, 29, 300, 1 << 20})
        expectPiecesAddUpToAWholePass(text, 0, bytes);
    // From a line inside a remark block and a condition, as after a part done by the editor.
    const qsizetype inRemark = text.indexOf("ObjectTemplate.create Bundle old", 1000);
    expectPiecesAddUpToAWholePass(text, inRemark, 64);
    // A text that ends without a line end, and one that is nothing but line ends.
    expectPiecesAddUpToAWholePass(text + "ObjectTemplate.create SimpleObject last", 0, 300);
    expectPiecesAddUpToAWholePass("\r\n\n\r\r\n", 0, 1);
}

TEST(LinePieceFeed, ALongLineIsToldAndTheFeedCallsBackWhenItIsBehind) {
    const QByteArray text = mixedScript(4000); // about 1.5 MB
    Taker taker;
    LinePieceFeed feed(text, 0, text.size(), LineRunStart{}, table(), LineFit{8, 32, 32, 600},
                       taker.ready());
    // Waiting a little for each piece, as a slice of the editor does.
    const QList<LinePiece> pieces = taker.takeAll(feed, std::chrono::microseconds(50));
    bool longLine = false;
    for (const LinePiece &piece : pieces) {
        longLine = longLine || piece.longLine;
    }
    EXPECT_TRUE(longLine);
    EXPECT_GT(pieces.size(), 50);
    EXPECT_GE(taker.calls, taker.waits); // every wait ended by a call
}

TEST(LinePieceFeed, IsDroppedAtOnceWithPiecesUntakenAndNoCallAfterwards) {
    const QByteArray text = mixedScript(20000); // about 7 MB: far more than it keeps ahead
    int calls = 0;
    const auto started = std::chrono::steady_clock::now();
    {
        LinePieceFeed feed(text, 0, text.size(), LineRunStart{}, table(), LineFit{8, 32, 32, 600},
                           [&calls] { ++calls; });
        EXPECT_FALSE(feed.exhausted());
    }
    // It stopped after the piece it was on, long before working through the text.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(calls, 0); // nothing was asked for
}
