#include "core/platform/ReplyRules.h"

#include <QByteArray>
#include <gtest/gtest.h>

using marlix::ReplyFacts;
using marlix::ReplyKind;
using marlix::replyKind;

TEST(ReplyRules, BytesPastTheCapAreNotKept) {
    QByteArray body;
    EXPECT_TRUE(marlix::keepReplyBytes(body, "abc", 5));
    EXPECT_TRUE(marlix::keepReplyBytes(body, "de", 5)); // exactly the cap is still whole
    EXPECT_FALSE(marlix::keepReplyBytes(body, "f", 5));
    EXPECT_EQ(body, QByteArray("abcde"));
    QByteArray big;
    EXPECT_FALSE(marlix::keepReplyBytes(big, QByteArray(10, 'x'), 4));
    EXPECT_EQ(big.size(), 4);
}

TEST(ReplyRules, RedirectLimitIsAConnectionFailureWhateverTheLastStatus) {
    ReplyFacts facts;
    facts.redirectLimit = true;
    facts.status = 302;
    EXPECT_EQ(replyKind(facts), ReplyKind::ConnectionFailed);
    facts.redirectLimit = false;
    EXPECT_EQ(replyKind(facts), ReplyKind::HttpError);
    facts.status = 0;
    EXPECT_EQ(replyKind(facts), ReplyKind::ConnectionFailed);
}

TEST(ReplyRules, CappedOrCompleteRepliesAreOkButATimeOutIsNot) {
    ReplyFacts facts;
    facts.capped = true;
    facts.status = 200;
    EXPECT_EQ(replyKind(facts), ReplyKind::Ok);
    facts.capped = false;
    facts.completed = true;
    EXPECT_EQ(replyKind(facts), ReplyKind::Ok);
    facts.timedOut = true;
    EXPECT_EQ(replyKind(facts), ReplyKind::ConnectionFailed);
}
