#include "core/startup/HandOffQueue.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList openEverything(HandOffQueue &queue) {
    QStringList opened;
    queue.openAll([&](const QString &path) { opened.append(path); });
    return opened;
}

} // namespace

// A start's files come twice, in params.ini and over the socket; whichever is heard first
// queues them, the other does not queue them again.
TEST(HandOffQueue, AStartsFilesOpenOnceWhicheverWayTheyArriveFirst) {
    HandOffQueue paintFirst;
    paintFirst.takenFromFile({"/m/a.con", "/m/b.con"});
    paintFirst.handedOver({"/m/a.con", "/m/b.con"}, false);
    EXPECT_EQ(openEverything(paintFirst), QStringList({"/m/a.con", "/m/b.con"}));

    // The socket first: params.ini was still the start's own and went with the request.
    HandOffQueue socketFirst;
    socketFirst.handedOver({"/m/a.con"}, true);
    EXPECT_EQ(openEverything(socketFirst), QStringList({"/m/a.con"}));
}

// params.ini held a later start's files when the earlier start's request arrived: both open,
// the earlier start's first only if it was heard first.
TEST(HandOffQueue, ARequestForOtherFilesThanThePaintTookIsQueuedAsWell) {
    HandOffQueue queue;
    queue.takenFromFile({"/m/second.con"});
    queue.handedOver({"/m/first.con"}, false);
    // The paint's files were matched once: the same files sent again by another start open
    // again.
    queue.handedOver({"/m/second.con"}, false);
    EXPECT_EQ(openEverything(queue),
              QStringList({"/m/second.con", "/m/first.con", "/m/second.con"}));

    // A request whose params.ini was its own is never taken as the paint's.
    HandOffQueue own;
    own.takenFromFile({"/m/x.con"});
    own.handedOver({"/m/x.con"}, true);
    EXPECT_EQ(openEverything(own), QStringList({"/m/x.con", "/m/x.con"}));
}

// Opening a file may run a message box's loop, in which more files arrive and a nested call
// to open them comes in: they wait their turn behind the file being opened.
TEST(HandOffQueue, FilesArrivingWhileOneOpensFollowItInOrder) {
    HandOffQueue queue;
    queue.handedOver({"/m/1.con", "/m/2.con"}, true);
    QStringList opened;
    std::function<void(const QString &)> open = [&](const QString &path) {
        opened.append(path);
        if (path == QLatin1String("/m/1.con")) {
            queue.handedOver({"/m/3.con"}, true);
            queue.openAll(open); // nested: returns at once
            opened.append(QStringLiteral("back"));
        }
    };
    queue.openAll(open);
    EXPECT_EQ(opened, QStringList({"/m/1.con", "back", "/m/2.con", "/m/3.con"}));
    EXPECT_TRUE(queue.isEmpty());

    // An open that throws leaves the queue usable, the rest still waiting.
    queue.handedOver({"/m/bad.con", "/m/good.con"}, true);
    EXPECT_THROW(queue.openAll([](const QString &path) {
        if (path.endsWith(QLatin1String("bad.con")))
            throw std::runtime_error("unreadable");
    }),
                 std::runtime_error);
    EXPECT_EQ(openEverything(queue), QStringList({"/m/good.con"}));
}
