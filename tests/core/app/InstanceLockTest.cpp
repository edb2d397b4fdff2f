#include "core/platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// A runtime folder that is open to others, or (where the test may hand a folder to another
// user) that belongs to someone else, would let them hold the marker and keep every start
// from opening a window.
TEST(InstanceLock, RuntimeFolderOfWrongModeOrOwnerIsNotUsed) {
    QTemporaryDir temp;
    const QString open = temp.filePath("open");
    ASSERT_TRUE(QDir().mkpath(open));
    ::chmod(QFile::encodeName(open).constData(), 0755);
    // The shared fallbacks below the temporary folder, taken by another user.
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    QStringList taken{temp.filePath("runtime-" + QString::number(getuid()))};
    if (const passwd *user = getpwuid(getuid()))
        taken << temp.filePath(QString("runtime-") + user->pw_name);
    for (const QString &shared : taken) {
        ASSERT_TRUE(QDir().mkpath(shared));
        const QByteArray name = QFile::encodeName(shared);
        if (getuid() != 0 || ::chown(name.constData(), 65534, 65534) != 0)
            ::chmod(name.constData(), 0733);
    }
    qputenv("XDG_RUNTIME_DIR", open.toLocal8Bit());
    const QString folder = runtimeFolder();
    qunsetenv("TMPDIR");
    EXPECT_NE(folder, open);
    EXPECT_FALSE(taken.contains(folder));
    ASSERT_FALSE(folder.isEmpty());
    struct stat info;
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
    // A marker held in the other user's folder keeps nobody from starting.
    const int fd = ::open(QFile::encodeName(taken.first() + "/Marlix_mutex").constData(),
                          O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    InstanceLock start("Marlix_mutex");
    EXPECT_FALSE(start.heldElsewhere());
    EXPECT_TRUE(start.owned());
    ::close(fd);
}

TEST(InstanceLock, LockFileThatIsASymbolicLinkIsNotFollowed) {
    RuntimeFolder runtime;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("held");
    const int fd = ::open(QFile::encodeName(target).constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ASSERT_TRUE(QFile::link(target, runtime.dir.filePath("Marlix_mutex")));
    ASSERT_TRUE(QFile::link(elsewhere.filePath("made"), runtime.dir.filePath("Other_marker")));
    InstanceLock start("Marlix_mutex");
    EXPECT_FALSE(start.heldElsewhere());
    InstanceLock other("Other_marker");
    EXPECT_FALSE(other.heldElsewhere());
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("made")));
    ::close(fd);
}
