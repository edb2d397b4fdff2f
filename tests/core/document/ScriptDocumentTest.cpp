#include "core/document/ScriptDocument.h"
#include "core/common/Error.h"
#include "core/script/HeaderBlock.h"
#include "tests/core/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

// Types the bytes one at a time at the position, as keys would.
void type(ScriptDocument &doc, qsizetype at, const QByteArray &bytes) {
    for (char c : bytes)
        doc.insert(at++, QByteArray(1, c));
}

const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));

QByteArray header() {
    return headerBlockText(headerDateLine(when));
}

} // namespace

TEST(ScriptDocument, TypingChangesItAndTakingTheTypingBackMakesItUnchangedAgain) {
    ScriptDocument doc;
    doc.setText("ObjectTemplate.create Bundle Tank\r\n");
    EXPECT_FALSE(doc.isModified());
    type(doc, 35, "rem x");
    EXPECT_EQ(doc.text(), "ObjectTemplate.create Bundle Tank\r\nrem x");
    EXPECT_TRUE(doc.isModified());
    doc.remove(35, 5);
    EXPECT_FALSE(doc.isModified());
    // An edit that changes nothing is no edit.
    int edits = 0;
    QObject::connect(&doc, &ScriptDocument::edited, [&] { ++edits; });
    doc.replace(0, 6, "Object");
    doc.insert(3, {});
    EXPECT_EQ(edits, 0);
}

TEST(ScriptDocument, AFollowerReplayingTheEditsHoldsTheSameBytes) {
    ScriptDocument doc;
    doc.setText(QByteArray("a\0b\x80\x9f\xff\r\nline two\rthree\n", 23));
    QByteArray copy = doc.text();
    QObject::connect(&doc, &ScriptDocument::edited, [&](const ScriptEdit &e) {
        EXPECT_EQ(copy.mid(e.position, e.removed.size()), e.removed);
        copy.replace(e.position, e.removed.size(), e.inserted);
    });
    type(doc, 2, "\x93quoted\x94");
    doc.replace(4, 3, "X");
    doc.remove(0, 1);
    doc.replace(1000, 5, "end"); // clipped to the end of the text
    doc.replace(-4, 0, "<");     // clipped to its start
    EXPECT_EQ(copy, doc.text());
    EXPECT_TRUE(doc.text().endsWith("three\nend"));
    EXPECT_TRUE(doc.text().startsWith(QByteArray("<\0\x93qXed\x94"
                                                 "b\x80\x9f\xff",
                                                 12)));
}

TEST(ScriptDocument, LinesSplitAtEveryKindOfLineEnd) {
    ScriptDocument doc;
    EXPECT_EQ(doc.lineCount(), 1);
    doc.setText("one\r\ntwo\rthree\nfour\r\n");
    EXPECT_EQ(doc.lineCount(), 5);
    EXPECT_EQ(doc.lineText(0), "one");
    EXPECT_EQ(doc.lineText(1), "two");
    EXPECT_EQ(doc.lineText(2), "three");
    EXPECT_EQ(doc.lineText(3), "four");
    EXPECT_EQ(doc.lineText(4), "");
    EXPECT_EQ(doc.lineOfPosition(4), 0); // the LF of CR LF
    EXPECT_EQ(doc.lineOfPosition(5), 1);
    EXPECT_EQ(doc.lineOfPosition(doc.size()), 4);
    doc.insert(0, "zero\n");
    EXPECT_EQ(doc.lineText(1), "one"); // counted again after an edit
    EXPECT_EQ(doc.lineStart(2), 10);
}

TEST(ScriptDocument, SavingPutsTheHeaderInOnceAndRefreshesItsDateLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tank.con");
    ScriptDocument doc;
    doc.setText("a\r\nb");
    doc.save(path, when);
    EXPECT_EQ(readAll(path), header() + "a\r\nb\r\n");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.origin().kind, ScriptOrigin::File);
    EXPECT_EQ(doc.origin().path, path);

    const QDateTime later = when.addDays(1);
    doc.save(path, later);
    EXPECT_EQ(readAll(path), headerBlockText(headerDateLine(later)) + "a\r\nb\r\n");
    EXPECT_EQ(doc.lineCount(), 6);
}

TEST(ScriptDocument, AnEmptyScriptSavesAsTheHeaderAlone) {
    QTemporaryDir dir;
    ScriptDocument doc;
    doc.save(dir.filePath("empty.con"), when);
    EXPECT_EQ(readAll(dir.filePath("empty.con")), header());
}

TEST(ScriptDocument, AScriptWhoseLinesAllEndInLfIsSavedWithLf) {
    QTemporaryDir dir;
    const QString lf = dir.filePath("lf.con"), mixed = dir.filePath("mixed.con");
    writeAll(lf, "a\nb\n");
    writeAll(mixed, "a\nb\r\nc");
    ScriptDocument doc;
    doc.loadFile(lf);
    EXPECT_EQ(doc.text(), "a\r\nb"); // held as the editor holds it
    EXPECT_FALSE(doc.isModified());
    doc.save(lf, when);
    QByteArray expected = header() + "a\r\nb\r\n";
    expected.replace("\r\n", "\n");
    EXPECT_EQ(readAll(lf), expected);

    doc.loadFile(mixed);
    doc.save(mixed, when);
    EXPECT_EQ(readAll(mixed), header() + "a\r\nb\r\nc\r\n");

    // Text handed over with LF line ends keeps them too.
    doc.setText("x\ny\n");
    doc.save(dir.filePath("given.con"), when);
    EXPECT_FALSE(readAll(dir.filePath("given.con")).contains('\r'));
}

TEST(ScriptDocument, AFailedSaveKeepsTheOldFileAndTheDocumentChanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath("locked.con");
    writeAll(path, "old\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ScriptDocument doc;
    doc.loadFile(path);
    doc.insert(0, "new ");
    try {
        doc.save(path, when);
        if (QFileInfo(path).isWritable())
            GTEST_SKIP() << "running with rights that write read-only files";
        FAIL() << "saved a read-only file";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), "Cannot create file " + path);
    }
    EXPECT_EQ(readAll(path), "old\r\n");
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.text().startsWith(headerStarLine())); // the header stays in the text
}

TEST(ScriptDocument, LoadingAMissingFileFailsAndLeavesTheDocument) {
    ScriptDocument doc;
    doc.setText("kept");
    EXPECT_THROW(doc.loadFile("/nonexistent/x.con"), Error);
    EXPECT_EQ(doc.text(), "kept");
}

TEST(ScriptDocument, CommentsAndUncommentsLines) {
    ScriptDocument doc;
    doc.setText("a\r\nRem b\r\nc premium\r\n");
    EXPECT_EQ(doc.commentLines(0, 2), std::optional<qsizetype>(27));
    EXPECT_EQ(doc.text(), "rem a\r\nRem b\r\nrem c premium\r\n");
    EXPECT_FALSE(doc.commentLines(1, 1).has_value());
    doc.setText("rem rem x\r\nx rem y\r\nrem");
    doc.uncommentLines(0, 2);
    EXPECT_EQ(doc.text(), "rem x\r\nx y\r\n"); // the last line end is never eaten
    EXPECT_EQ(doc.lineCount(), 3);
}

TEST(ScriptDocument, BackupAndRestoreGoThroughTheFileBesideTheScript) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tank.con");
    writeAll(path, "a\r\nb\r\n");
    ScriptDocument doc;
    doc.loadFile(path);
    doc.insert(0, "x");
    doc.writeBackup();
    EXPECT_EQ(readAll(dir.filePath("Tank.bcon")), "xa\r\nb\r\n");
    doc.setText("other", {ScriptOrigin::File, path, {}, {}});
    int edits = 0;
    QObject::connect(&doc, &ScriptDocument::edited, [&] { ++edits; });
    doc.restoreBackup();
    EXPECT_EQ(doc.text(), "xa\r\nb");
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(doc.isModified());

    ScriptDocument untitled;
    EXPECT_THROW(untitled.writeBackup(), Error);
}

TEST(ScriptDocument, ListsTheObjectsItCreates) {
    ScriptDocument doc;
    doc.setText("ObjectTemplate.create Bundle Tank_Hull\r\nrem\r\n"
                "objecttemplate.CREATE SimpleObject Tank_Turret\r\n");
    const QList<ObjectRow> rows = doc.objects();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].type, "Bundle ");
    EXPECT_EQ(rows[0].name, "Tank_Hull");
    EXPECT_EQ(rows[1].name, "Tank_Turret");
}
