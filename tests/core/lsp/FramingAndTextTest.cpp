#include "core/lsp/ClientText.h"
#include "core/lsp/MessageFraming.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList bodies(const QList<FramedMessage> &messages) {
    QStringList out;
    for (const FramedMessage &m : messages)
        out.append(m.failed ? "error: " + m.error.reason : QString::fromLatin1(m.body));
    return out;
}

} // namespace

TEST(MessageReader, TakesMessagesHoweverTheBytesArrive) {
    const QByteArray stream = frameMessage("{\"a\":1}") + frameMessage("{}") +
                              "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n"
                              "content-length: 3\r\n\r\n[1]";
    MessageReader whole;
    EXPECT_EQ(bodies(whole.feed(stream)), QStringList({"{\"a\":1}", "{}", "[1]"}));
    MessageReader bytewise;
    QStringList got;
    for (char c : stream)
        got += bodies(bytewise.feed(QByteArray(1, c)));
    EXPECT_EQ(got, QStringList({"{\"a\":1}", "{}", "[1]"}));
    // Header lines ended by LF alone are taken too.
    EXPECT_EQ(bodies(MessageReader().feed("Content-Length: 2\n\n{}")), QStringList({"{}"}));
}

TEST(MessageReader, ABadHeaderIsReportedAndTheNextMessageStillArrives) {
    MessageReader reader;
    const QStringList got = bodies(reader.feed(
        "Content-Lenght: 2\r\n\r\n" + frameMessage("{}") + "Content-Length: -5\r\n\r\n" +
        "garbage line\r\nContent-Length: 2\r\n\r\n{}" + frameMessage("[]")));
    ASSERT_EQ(got.size(), 5) << got.join("|").toStdString();
    EXPECT_TRUE(got[0].startsWith("error: malformed header"));
    EXPECT_EQ(got[1], "{}");
    EXPECT_TRUE(got[2].startsWith("error:"));
    EXPECT_TRUE(got[3].startsWith("error:")); // a header line without a colon
    EXPECT_EQ(got[4], "[]");
}

TEST(MessageReader, AnOversizedBodyIsDroppedAsItArrivesWithoutBeingKept) {
    MessageReader reader(100);
    QStringList got = bodies(reader.feed("Content-Length: 250\r\n\r\n" + QByteArray(120, 'x')));
    ASSERT_EQ(got.size(), 1);
    EXPECT_TRUE(got[0].contains("larger than the limit")) << got[0].toStdString();
    // The rest of the big body, then a good message in the same chunk.
    got = bodies(reader.feed(QByteArray(130, 'y') + frameMessage("{\"ok\":true}")));
    EXPECT_EQ(got, QStringList({"{\"ok\":true}"}));
    // A header that never ends is given up once it grows past any real one.
    MessageReader endless;
    got = bodies(endless.feed(QByteArray(MessageReader::LongestHeader + 1, 'h')));
    ASSERT_EQ(got.size(), 1);
    EXPECT_TRUE(got[0].startsWith("error: header longer"));
    EXPECT_EQ(bodies(endless.feed(frameMessage("{}"))), QStringList({"{}"}));
}

TEST(ClientText, EveryByteIsOneUnitAndComesBackAsItWas) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = clientText(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(scriptBytes(text), all);
    EXPECT_EQ(text[0x80], QChar(0x20AC)); // the euro sign
    EXPECT_EQ(text[0x93], QChar(0x201C)); // the left double quote
}

TEST(ClientText, CharactersNoByteStandsForBecomeOneMarkPerUnit) {
    // U+0080 is not what byte 0x80 shows (that is the euro sign); the emoji takes two units.
    const QString text = QString::fromUtf8("a\u20AC\u0080\U0001F600\u201Cb");
    const QByteArray bytes = scriptBytes(text);
    EXPECT_EQ(bytes, QByteArray("a\x80?\?\?\x93") + "b");
    EXPECT_EQ(bytes.size(), text.size()); // positions on both sides agree
}

TEST(ClientText, PositionsCountUnitsAndClipToTheLine) {
    ScriptDocument doc;
    doc.setText("\x93q\x94 Tank\r\nsecond\rthird");
    EXPECT_EQ(offsetOf(doc, {0, 4}), 4);
    EXPECT_EQ(offsetOf(doc, {0, 99}), 8); // past the line's end: its end, not the next line
    EXPECT_EQ(offsetOf(doc, {1, 2}), 12);
    EXPECT_EQ(offsetOf(doc, {2, 5}), 22);
    EXPECT_EQ(offsetOf(doc, {7, 0}), doc.size());
    EXPECT_EQ(offsetOf(doc, {-1, 3}), 0);
    const TextPosition p = positionOf(doc, 19);
    EXPECT_EQ(p.line, 2);
    EXPECT_EQ(p.character, 2);
}
