#include "platform/InstanceLock.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace marlix;

namespace {
// Each test gets its own runtime folder, so parallel runs never share a marker.
struct RuntimeFolder {
    QTemporaryDir dir;
    RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit()); }
};
} // namespace

TEST(InstanceLock, OnlyOneHolderUntilReleased) {
    RuntimeFolder runtime;
    InstanceLock first("Marlix_mutex");
    EXPECT_FALSE(first.heldElsewhere());
    EXPECT_TRUE(first.owned());
    EXPECT_TRUE(QFile::exists(runtime.dir.filePath("Marlix_mutex")));

    InstanceLock second("Marlix_mutex");
    EXPECT_TRUE(second.heldElsewhere());
    EXPECT_FALSE(second.owned());
    InstanceLock other("Another_marker");
    EXPECT_FALSE(other.heldElsewhere());

    first.release();
    EXPECT_FALSE(second.heldElsewhere());
}

TEST(InstanceLock, KilledHolderNeverBlocksTheNextStart) {
    RuntimeFolder runtime;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held("Marlix_mutex");
        const char ok = held.heldElsewhere() ? 'n' : 'y';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    InstanceLock later("Marlix_mutex");
    EXPECT_TRUE(later.heldElsewhere());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(later.heldElsewhere());
    EXPECT_TRUE(later.owned());
}
