#include "core/common/Error.h"
#include "core/document/DiskChange.h"
#include "core/document/ScriptBackup.h"

#include "../FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

TEST(ScriptBackup, BesideTheScriptWithTheBconSuffix) {
    EXPECT_EQ(backupPath("/m/Scout.con"), QStringLiteral("/m/Scout.bcon"));
    EXPECT_EQ(backupPath("/m/OBJECTS.CON"), QStringLiteral("/m/OBJECTS.bcon"));
    EXPECT_EQ(backupPath("/m/notes.txt"), QStringLiteral("/m/notes.txt.bcon"));
    EXPECT_EQ(backupPath("/m/old.bcon"), QStringLiteral("/m/old.bcon.bcon"));
    EXPECT_EQ(backupPath("/m.con/init"), QStringLiteral("/m.con/init.bcon"));
}

TEST(ScriptBackup, RoundTripKeepsEveryByteAndAddsNoHeader) {
    QTemporaryDir dir;
    const QString script = dir.filePath("tank.con");
    writeAll(script, "on disk");
    const QByteArray text("rem \xE9\x80\xFF\r\nObject\0Template\r\n\r\nlast", 33);
    writeBackup(script, text);
    EXPECT_EQ(readAll(dir.filePath("tank.bcon")), text + "\r\n");
    EXPECT_EQ(readBackupText(script), text);
    EXPECT_EQ(readAll(script), QByteArray("on disk")); // the script itself is not touched
    // An empty line at the end and an empty document come back as they were.
    for (const QByteArray &edge : {QByteArray("a\r\n"), QByteArray()}) {
        writeBackup(script, edge);
        EXPECT_EQ(readBackupText(script), edge);
    }
}

TEST(ScriptBackup, AFailedBackupLeavesTheOldOneAndSaysSo) {
    QTemporaryDir dir;
    const QString script = dir.filePath("tank.con");
    writeBackup(script, "first");
    QFile(dir.filePath("tank.bcon")).setPermissions(QFile::ReadOwner);
    QFile(dir.path()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(writeBackup(script, "second"), Error);
    QFile(dir.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(dir.filePath("tank.bcon")), QByteArray("first\r\n"));
    EXPECT_THROW(readBackupText(dir.filePath("none.con")), Error);
}

TEST(DiskChange, UnchangedReloadsChangedAsksDeletedKeeps) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.con");
    writeAll(path, "one");
    const FileFingerprint loaded = readFingerprint(path);
    ASSERT_TRUE(loaded.exists);

    EXPECT_EQ(diskChange(loaded, readFingerprint(path, loaded), false), DiskChange::None);
    // Rewritten at once with the same size: the time may not tell, the content does.
    writeAll(path, "two");
    const FileFingerprint rewritten = readFingerprint(path, loaded);
    EXPECT_EQ(diskChange(loaded, rewritten, false), DiskChange::Reload);
    EXPECT_EQ(diskChange(loaded, rewritten, true), DiskChange::AskReload);
    // Once known, the same change is not reported again.
    EXPECT_EQ(diskChange(rewritten, readFingerprint(path, rewritten), true), DiskChange::None);

    QFile::remove(path);
    const FileFingerprint gone = readFingerprint(path, rewritten);
    EXPECT_FALSE(gone.exists);
    EXPECT_EQ(diskChange(rewritten, gone, false), DiskChange::KeepAsChanged);
    EXPECT_EQ(diskChange(gone, readFingerprint(path, gone), true), DiskChange::None);
    // Back again: the document counts as changed by then, so the user is asked.
    writeAll(path, "three");
    EXPECT_EQ(diskChange(gone, readFingerprint(path, gone), true), DiskChange::AskReload);
}

TEST(DiskChange, ATouchWithoutNewContentChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.con");
    writeAll(path, "same");
    const FileFingerprint loaded = readFingerprint(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    const FileFingerprint touched = readFingerprint(path, loaded);
    EXPECT_NE(touched.modified, loaded.modified);
    EXPECT_EQ(diskChange(loaded, touched, false), DiskChange::None);
}

TEST(DiskChange, AFileFingerprintedFromWhatWasReadMatchesALaterLookUntilItIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.con");
    writeAll(path, QByteArray(200000, 'x') + "\r\nend");
    const FileFingerprint stat = statFile(path);
    const FileFingerprint opened = fingerprintOfRead(stat, readAll(path));
    EXPECT_EQ(opened.hash, readFingerprint(path).hash);
    EXPECT_EQ(diskChange(opened, readFingerprint(path, opened), false), DiskChange::None);
    // Written after the size and time were taken but before the read: the document holds the
    // new bytes, so the next look must not take the file for another program's change.
    writeAll(path, QByteArray(200000, 'y') + "\r\nend");
    const FileFingerprint readLate = fingerprintOfRead(stat, readAll(path));
    EXPECT_EQ(diskChange(readLate, readFingerprint(path, readLate), false), DiskChange::None);
    // An empty file and a missing one have fingerprints of their own.
    writeAll(path, "");
    EXPECT_EQ(readFingerprint(path).hash, contentHash({}));
    EXPECT_NE(diskChange(readLate, readFingerprint(path, readLate), false), DiskChange::None);
}
