#include "core/common/Version.h"
#include "tests/gui/support/WindowPartsA.h"

#include <QMenu>
#include <QTest>

using namespace marlix;
using fixture::MainWindow;

namespace {
QStringList visibleEntries(TFormMain *w) {
    QStringList captions;
    for (const QAction *entry : parts::find<QMenu>(w, "mnuRecent")->actions())
        if (entry->isVisible())
            captions.append(entry->text());
    return captions;
}
QByteArray linesOf(const QStringList &lines) {
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLocal8Bit() + "\r\n";
    return bytes;
}
} // namespace

class RecentFontTest : public QObject {
    Q_OBJECT

private slots:
    void menuShowsTheFirstTenAndOpeningRewritesTheFile();
    void choosingEntries();
    void recentFileThatCannotBeWritten();
    void fontGoesToEveryEditorAndToTheFileAtClose();
    void noFontChosenLeavesTheFontFileAlone();
};

void RecentFontTest::menuShowsTheFirstTenAndOpeningRewritesTheFile() {
    MainWindow m;
    QStringList fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append(m.folder.file(QString("f%1.con").arg(i)));
    m.folder.write("recent.ini", linesOf(fifteen));
    TFormMain *w = m.open();
    QCOMPARE(visibleEntries(w), fifteen.mid(0, 10));

    const QString path = m.script("opened.con", "rem\r\n");
    w->OpenDocumentFile(path);
    QCOMPARE(m.folder.read("recent.ini"), linesOf(QStringList{path} + fifteen.mid(0, 9)));
    QCOMPARE(visibleEntries(w).first(), path);
    // Opening a listed path moves it to the top without growing the list.
    const QString listed = m.script("f4.con", "");
    w->OpenDocumentFile(listed);
    const QStringList after = QStringList{listed, path} + fifteen.mid(0, 4) + fifteen.mid(5, 4);
    QCOMPARE(m.folder.read("recent.ini"), linesOf(after));
    QCOMPARE(visibleEntries(w), after);
}

void RecentFontTest::choosingEntries() {
    MainWindow m;
    const QString a = m.script("a.con", "a\r\n");
    const QString b = m.script("Tom & Jerry/b.con", "b\r\n");
    m.folder.write("recent.ini", linesOf({a, b, QString()}));
    TFormMain *w = m.open();
    // The menu shows the real path; the entry gives it back, "&" and all.
    QCOMPARE(fixture::action(w, "mnuRecent2")->text(), QString(b).replace("&", "&&"));
    fixture::action(w, "mnuRecent2")->trigger();
    QCOMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), b);
    QCOMPARE(m.folder.read("recent.ini"), linesOf({b, a, QString()}));

    // An entry whose document is open only brings its tab forward: no reordering.
    w->OpenDocumentFile(a);
    QCOMPARE(m.folder.read("recent.ini"), linesOf({a, b, QString()}));
    fixture::action(w, "mnuRecent2")->trigger(); // now b
    QCOMPARE(m.activeSlot(), 0);
    QCOMPARE(m.folder.read("recent.ini"), linesOf({a, b, QString()}));

    // The empty entry is visible; it names no file, unless an untitled document is open.
    QVERIFY(fixture::action(w, "mnuRecent3")->isVisible());
    QCOMPARE(fixture::action(w, "mnuRecent3")->text(), QString());
    fixture::action(w, "mnuRecent3")->trigger();
    QCOMPARE(Prompts::shownTexts(), QStringList({"Unable to load file"}));
    w->NewDocumentTab();
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    fixture::action(w, "mnuRecent3")->trigger();
    QCOMPARE(m.activeSlot(), 2);
    QCOMPARE(Prompts::shownTexts().size(), 1);

    // Entries beyond the list keep their state.
    QVERIFY(!fixture::action(w, "mnuRecent4")->isVisible());

    // With 29 documents open, choosing an entry does nothing at all.
    while (m.pages() < 29)
        w->NewDocumentTab();
    fixture::tabs(w)->setActivePage(w->pageOfSlot(5));
    Prompts::reset();
    fixture::action(w, "mnuRecent1")->trigger();
    QCOMPARE(m.activeSlot(), 5);
    QVERIFY(Prompts::shown().isEmpty());
}

void RecentFontTest::recentFileThatCannotBeWritten() {
    MainWindow m;
    m.folder.write("recent.ini", "/old.con\r\n");
    QFile::setPermissions(m.folder.file("recent.ini"), QFile::ReadOwner | QFile::ReadGroup);
    TFormMain *w = m.open();
    const QString path = m.script("a.con", "rem a\r\n");
    Prompts::answerFile(fixture::chosen(path));
    fixture::trigger(w, "mnuOpen");
    // The file is loaded and titled; the error is shown; the list file is untouched.
    QCOMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), path);
    QCOMPARE(m.editor()->documentBytes(), QByteArray("rem a"));
    QCOMPARE(Prompts::shownTexts(),
             QStringList({"Cannot create file " + m.folder.file("recent.ini")}));
    QCOMPARE(m.folder.read("recent.ini"), QByteArray("/old.con\r\n"));

    // A recent list that cannot be read at start is reported, and the window still gets its
    // title, by which a later start finds it.
    MainWindow broken;
    broken.folder.write("recent.ini/x", "");
    TFormMain *v = broken.open();
    QCOMPARE(Prompts::shownTexts().last(), "Cannot open file " + broken.folder.file("recent.ini"));
    QCOMPARE(v->windowTitle(), marlix::mainWindowTitle());
}

void RecentFontTest::fontGoesToEveryEditorAndToTheFileAtClose() {
    MainWindow m;
    TFormMain *w = m.open();
    w->NewDocumentTab();
    const QFont before = m.editor()->font();
    // The dialog first shows its own start font, and is cancelled.
    const QFont start = parts::fontDialogShows(w);
    QCOMPARE(start, parts::asFontDialogShows(QFont(QStringLiteral("MS Sans Serif"), 8)));
    QCOMPARE(start.pointSize(), 8);
    QCOMPARE(m.editor()->font(), before);
    w->NewDocumentTab();
    QCOMPARE(m.editor()->font(), before);

    QFont chosen(QStringLiteral("Verdana"), 10);
    chosen.setBold(true);
    fixture::trigger(w, "mnuFont");
    Prompts::answerFont(chosen);
    fixture::trigger(w, "mnuFont");
    QCOMPARE(m.editor()->font(), chosen);
    QCOMPARE(w->editorOfSlot(0)->font(), chosen);
    w->NewDocumentTab();
    QCOMPARE(m.editor()->font(), chosen);
    // The dialog starts from the last choice.
    const QFont again = parts::fontDialogShows(w);
    QCOMPARE(again, parts::asFontDialogShows(chosen));
    QCOMPARE(again.pointSize(), 10);
    QCOMPARE(m.editor()->font(), chosen);

    // With no document open the choice changes nothing on screen but is kept for later.
    for (int slot = 0; slot < 3; ++slot)
        w->CloseDocumentSlot(slot);
    QCOMPARE(m.pages(), 0);
    QFont second(QStringLiteral("Courier"), 12);
    Prompts::answerFont(second);
    fixture::trigger(w, "mnuFont");
    w->NewDocumentTab();
    QCOMPARE(m.editor()->font(), second);

    w->show();
    w->close();
    QCOMPARE(m.folder.read("fontpref.ini"), QByteArray("Courier\r\n12\r\n"));

    // A cancelled dialog leaves no font to write at close.
    MainWindow cancelled;
    TFormMain *v = cancelled.open();
    fixture::trigger(v, "mnuFont");
    v->show();
    v->close();
    QVERIFY(!cancelled.folder.exists("fontpref.ini"));
}

void RecentFontTest::noFontChosenLeavesTheFontFileAlone() {
    MainWindow m;
    m.folder.write("fontpref.ini", "Verdana\r\n10\r\n");
    TFormMain *w = m.open();
    w->NewDocumentTab();
    // The file is never read back: editors keep their default font.
    QVERIFY(m.editor()->font().family() != QStringLiteral("Verdana") ||
            m.editor()->font().pointSize() != 10);
    w->show();
    w->close();
    QCOMPARE(m.folder.read("fontpref.ini"), QByteArray("Verdana\r\n10\r\n"));

    // A font file that cannot be written is reported; the window closes all the same.
    MainWindow locked;
    locked.folder.write("fontpref.ini/x", "");
    TFormMain *v = locked.open();
    Prompts::answerFont(QFont(QStringLiteral("Verdana"), 10));
    fixture::trigger(v, "mnuFont");
    v->show();
    v->close();
    QVERIFY(!v->isVisible());
    QCOMPARE(Prompts::shownTexts().last(),
             "Cannot create file " + locked.folder.file("fontpref.ini"));
}

QTEST_MAIN(RecentFontTest)
#include "RecentFontTest.moc"
