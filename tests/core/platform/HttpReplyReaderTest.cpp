#include "core/platform/HttpReplyReader.h"

#include <gtest/gtest.h>

using marlix::HttpReplyReader;

namespace {
// Feeds a reply one byte at a time, as the slowest network would deliver it.
HttpReplyReader::State trickle(HttpReplyReader &reader, const QByteArray &bytes) {
    HttpReplyReader::State state = HttpReplyReader::Reading;
    for (char c : bytes)
        state = reader.feed(QByteArray(1, c));
    return state;
}
} // namespace

TEST(HttpReplyReader, KeepsTheServersOwnStatusLine) {
    HttpReplyReader reader(1024);
    EXPECT_EQ(reader.feed("HTTP/1.0 404 File not found\r\nContent-Length: 4\r\n\r\ngone"),
              HttpReplyReader::Done);
    EXPECT_EQ(reader.status(), 404);
    EXPECT_EQ(reader.statusLine(), QStringLiteral("HTTP/1.0 404 File not found"));
    EXPECT_EQ(reader.body(), QByteArray("gone"));
}

TEST(HttpReplyReader, BodiesBySizeByChunksAndByTheClose) {
    HttpReplyReader sized(1024);
    EXPECT_EQ(trickle(sized, "HTTP/1.1 200 OK\r\ncontent-length: 7\r\n\r\n3.0.3.0"),
              HttpReplyReader::Done);
    EXPECT_EQ(sized.body(), QByteArray("3.0.3.0"));

    HttpReplyReader chunked(1024);
    const QByteArray reply = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                             "3\r\n3.0\r\n4;note\r\n.3.0\r\n0\r\n\r\n";
    EXPECT_EQ(trickle(chunked, reply), HttpReplyReader::Done);
    EXPECT_EQ(chunked.body(), QByteArray("3.0.3.0"));

    HttpReplyReader closed(1024);
    EXPECT_EQ(closed.feed("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\n3.0"),
              HttpReplyReader::Reading);
    EXPECT_EQ(closed.feed(".3.0"), HttpReplyReader::Reading);
    EXPECT_EQ(closed.finish(), HttpReplyReader::Done);
    EXPECT_EQ(closed.status(), 200);
    EXPECT_EQ(closed.body(), QByteArray("3.0.3.0"));
}

TEST(HttpReplyReader, ReadingStopsAtTheCap) {
    HttpReplyReader reader(4);
    EXPECT_EQ(reader.feed("HTTP/1.1 200 OK\r\n\r\n12"), HttpReplyReader::Reading);
    EXPECT_EQ(reader.feed("345678"), HttpReplyReader::Done);
    EXPECT_TRUE(reader.capped());
    EXPECT_EQ(reader.body(), QByteArray("1234"));
    HttpReplyReader exact(4);
    EXPECT_EQ(exact.feed("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n1234"),
              HttpReplyReader::Done);
    EXPECT_FALSE(exact.capped());
}

TEST(HttpReplyReader, CutOrForeignRepliesAreBroken) {
    HttpReplyReader cut(1024);
    cut.feed("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    EXPECT_EQ(cut.finish(), HttpReplyReader::Broken);
    HttpReplyReader headerOnly(1024);
    headerOnly.feed("HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(headerOnly.finish(), HttpReplyReader::Broken);
    HttpReplyReader foreign(1024);
    EXPECT_EQ(foreign.feed("SSH-2.0-OpenSSH\r\n\r\n"), HttpReplyReader::Broken);
    HttpReplyReader endless(1024);
    EXPECT_EQ(
        endless.feed("HTTP/1.1 200 OK\r\n" + QByteArray(HttpReplyReader::MaxHeaderBytes + 1, 'x')),
        HttpReplyReader::Broken);
}

TEST(HttpReplyReader, RedirectTargets) {
    const QUrl here(QStringLiteral("http://127.0.0.1:8080/version.html"));
    EXPECT_EQ(marlix::redirectTarget(here, 302, "/real.html"),
              QUrl(QStringLiteral("http://127.0.0.1:8080/real.html")));
    EXPECT_EQ(marlix::redirectTarget(here, 301, "http://other.example/v"),
              QUrl(QStringLiteral("http://other.example/v")));
    EXPECT_TRUE(marlix::redirectTarget(here, 200, "/real.html").isEmpty());
    EXPECT_TRUE(marlix::redirectTarget(here, 302, "").isEmpty());
    EXPECT_TRUE(marlix::redirectTarget(here, 302, "file:///etc/passwd").isEmpty());
}
