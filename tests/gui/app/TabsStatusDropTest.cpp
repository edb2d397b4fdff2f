// The status bar, the "*" of a changed document, the tab keys, the middle click on a tab and
// files dropped on the window, all through the real main window.
#include "app/StatusInfo.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QDropEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QToolTip>
#include <QUrl>

using namespace marlix;
using fixture::MainWindow;

namespace {

void drop(QWidget *target, const QStringList &paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    // A file manager also offers the names as text, which an editor would paste.
    data.setText(paths.join(QLatin1Char('\n')));
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
    QVERIFY(dropped.isAccepted());
}

QString statusText(TFormMain *w) {
    const DocumentStatus *status = w->documentStatus();
    return QStringList({status->caret->text(), status->selection->text(), status->lines->text(),
                        status->changed->text()})
        .join(QLatin1String(" | "));
}

} // namespace

class TabsStatusDropTest : public QObject {
    Q_OBJECT

private slots:
    void statusBarFollowsCaretSelectionAndActiveDocument();
    void changedMarkStaysOutOfTheFileName();
    void tabsShowNamesAndTheirPathsAsTips();
    void tabKeysSwitchRoundTheRowAndWinOverTheEditor();
    void middleClickClosesWithTheQuestionOfClose();
    void droppedFilesOpenAsWithOpen();
    void droppedFilesStopAtTheDocumentLimit();
};

void TabsStatusDropTest::statusBarFollowsCaretSelectionAndActiveDocument() {
    MainWindow m;
    TFormMain *w = m.open();
    QCOMPARE(statusText(w), QStringLiteral(" |  |  | "));
    w->OpenDocumentFile(m.script("a.con", "rem one\r\n\tx = 1\r\nlast"));
    TAdvEdit *a = m.editor();
    QTRY_COMPARE(statusText(w), QStringLiteral("Ln 1, Col 1 | Sel 0 | 3 lines | "));
    // The column counts a tab to its next stop, as the caret shows it.
    a->setCursorPosition(1, 1);
    QTRY_COMPARE(statusText(w),
                 QStringLiteral("Ln 2, Col %1 | Sel 0 | 3 lines | ").arg(a->tabWidth() + 1));
    a->setSelection(0, 4, 1, 0);
    QTRY_COMPARE(w->documentStatus()->selection->text(), QStringLiteral("Sel 5"));

    w->OpenDocumentFile(m.script("b.con", "one line"));
    QTRY_COMPARE(statusText(w), QStringLiteral("Ln 1, Col 1 | Sel 0 | 1 line | "));
    QTest::keyClick(m.editor(), Qt::Key_X);
    QTRY_COMPARE(statusText(w), QStringLiteral("Ln 1, Col 2 | Sel 0 | 1 line | Modified"));
    w->switchTab(1);
    QTRY_COMPARE(w->documentStatus()->selection->text(), QStringLiteral("Sel 5"));
    QCOMPARE(w->documentStatus()->changed->text(), QString());
    Prompts::answerMessage(QMessageBox::No);
    fixture::trigger(w, "mnuClose");
    fixture::trigger(w, "mnuClose");
    QTRY_COMPARE(statusText(w), QStringLiteral(" |  |  | "));
}

void TabsStatusDropTest::changedMarkStaysOutOfTheFileName() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString path = m.script("mark.con", "rem mark\r\n");
    w->OpenDocumentFile(path);
    TTabSheet *page = m.active();
    QCOMPARE(page->displayText(), path);
    QTest::keyClick(m.editor(), Qt::Key_Y);
    QTRY_COMPARE(page->displayText(), QLatin1Char('*') + path);
    QCOMPARE(page->caption(), path);
    QVERIFY(fixture::tabs(w)->tabRow()->tabOption(0).text.startsWith(QLatin1Char('*')));
    // Every file command takes the name without the mark.
    fixture::trigger(w, "mnuSave");
    QTRY_COMPARE(page->displayText(), path);
    QVERIFY(m.folder.read("mark.con").endsWith("yrem mark\r\n"));
    QVERIFY(!QFileInfo::exists(m.folder.path() + QStringLiteral("*mark.con")));
    w->OpenDocumentFile(path);
    QCOMPARE(m.pages(), 1);

    // An untitled document from an archive keeps where it came from, marked.
    w->NewDocumentTab();
    m.active()->setDisplayText(QStringLiteral("[objects.rfa:Tank.con]"));
    m.editor()->insert(QStringLiteral("x"));
    QTRY_COMPARE(m.active()->displayText(), QStringLiteral("*[objects.rfa:Tank.con]"));
    QVERIFY(m.active()->caption().isEmpty());
    Prompts::answerFile(fixture::chosen(m.folder.file("tank.con")));
    fixture::trigger(w, "mnuSave");
    QTRY_COMPARE(m.active()->displayText(), m.folder.file("tank.con"));
}

// The tab shows the script's name (its folder too where two open scripts share a name) and
// the whole path when the mouse rests on it; every file command still reads the whole path.
void TabsStatusDropTest::tabsShowNamesAndTheirPathsAsTips() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString sherman = m.script("mod/Sherman/Objects.con", "rem s\r\n");
    const QString tiger = m.script("mod/Tiger/Objects.con", "rem t\r\n");
    const QString init = m.script("mod/init.con", "rem i\r\n");
    w->resize(800, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->OpenDocumentFile(sherman);
    w->OpenDocumentFile(init);
    marlix::TabRow *row = fixture::tabs(w)->tabRow();
    QCOMPARE(row->tabOption(0).text, QStringLiteral("Objects.con"));
    QCOMPARE(row->tabOption(1).text, QStringLiteral("init.con"));
    QCOMPARE(row->toolTipAt(0), sherman);
    QCOMPARE(row->toolTipAt(1), init);
    w->OpenDocumentFile(tiger);
    QCOMPARE(row->tabOption(0).text, QStringLiteral("Sherman/Objects.con"));
    QCOMPARE(row->tabOption(2).text, QStringLiteral("Tiger/Objects.con"));
    QCOMPARE(row->tabOption(1).text, QStringLiteral("init.con"));
    QCOMPARE(m.caption(2), tiger);
    // Changed: the mark goes before the name.
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));
    m.editor()->insert(QStringLiteral("x"));
    QTRY_COMPARE(row->tabOption(0).text, QStringLiteral("*Sherman/Objects.con"));
    fixture::trigger(w, "mnuSave");
    QVERIFY(m.folder.read("mod/Sherman/Objects.con").contains("xrem s"));
    // With the twin closed, the name alone again.
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(2));
    fixture::trigger(w, "mnuClose");
    QCOMPARE(row->tabOption(0).text, QStringLiteral("Objects.con"));
    // Resting the mouse on a tab shows its path.
    QHelpEvent tip(QEvent::ToolTip, row->tabRect(1).center(),
                   row->mapToGlobal(row->tabRect(1).center()));
    QCoreApplication::sendEvent(row, &tip);
    QTRY_COMPARE(QToolTip::text(), init);
}

void TabsStatusDropTest::tabKeysSwitchRoundTheRowAndWinOverTheEditor() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    for (const char *name : {"k0.con", "k1.con", "k2.con"})
        w->OpenDocumentFile(m.script(QLatin1String(name), "text\r\n"));
    bool textKept = true;
    const auto pressOnActive = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        TAdvEdit *editor = m.editor();
        editor->setFocus();
        QTest::keyClick(editor, key, modifiers);
        textKept = textKept && editor->documentBytes() == "text";
        return fixture::tabs(w)->indexOf(m.active());
    };
    QCOMPARE(pressOnActive(Qt::Key_Tab, Qt::ControlModifier), 0); // round from the last
    QCOMPARE(pressOnActive(Qt::Key_Tab, Qt::ControlModifier), 1);
    QCOMPARE(pressOnActive(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), 0);
    QCOMPARE(pressOnActive(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier), 2);
    QCOMPARE(pressOnActive(Qt::Key_PageDown, Qt::ControlModifier), 0);
    QCOMPARE(pressOnActive(Qt::Key_PageUp, Qt::ControlModifier), 2);
    QVERIFY(textKept);
    QTRY_VERIFY(m.editor()->hasFocus());
    for (int slot = 0; slot < 3; ++slot)
        QVERIFY(!w->editorOfSlot(slot)->DocChanged);
}

void TabsStatusDropTest::middleClickClosesWithTheQuestionOfClose() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString first = m.script("first.con", "one\r\n");
    w->OpenDocumentFile(first);
    w->OpenDocumentFile(m.script("second.con", "two\r\n"));
    w->OpenDocumentFile(m.script("third.con", "three\r\n"));
    marlix::TabRow *row = fixture::tabs(w)->tabRow();
    const auto middleClick = [row](int index) {
        QTest::mouseClick(row, Qt::MiddleButton, {}, row->tabRect(index).center());
    };

    // An unchanged document in the background goes without a question; the active one stays.
    middleClick(1);
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.active()->caption(), m.folder.file("third.con"));
    QVERIFY(Prompts::shown().isEmpty());

    // A changed one comes into view and asks; Cancel keeps it, Yes saves and closes it.
    w->editorOfSlot(fixture::tabs(w)->page(0)->Tag)->insert(QStringLiteral("edited "));
    w->editorOfSlot(fixture::tabs(w)->page(0)->Tag)->DocChanged = true;
    middleClick(0);
    QCOMPARE(Prompts::shownTexts(), QStringList({"File has changed, save changes?"}));
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.active()->caption(), first);
    Prompts::answerMessage(QMessageBox::Yes);
    middleClick(0);
    QCOMPARE(m.pages(), 1);
    QVERIFY(m.folder.read("first.con").contains("edited one\r\n"));
    // A click beside the tabs or with the left button closes nothing.
    QTest::mouseClick(row, Qt::MiddleButton, {}, QPoint(row->width() - 2, 2));
    QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(0).center());
    QCOMPARE(m.pages(), 1);
}

void TabsStatusDropTest::droppedFilesOpenAsWithOpen() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("drop/a.con", "rem a\r\n");
    const QString b = m.script("drop/b.con", "rem \x80\xff b\r\n");
    w->OpenDocumentFile(a);
    m.editor()->insert(QStringLiteral("kept "));
    const QByteArray aText = m.editor()->documentBytes();

    // Dropped on the editor: the files open, no name goes into the text, an open one is
    // reused and a folder is passed over.
    drop(m.editor()->viewport(), {a, b, m.folder.file("drop")});
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.caption(1), b);
    QCOMPARE(m.editor()->documentBytes(), QByteArray("rem \x80\xff b"));
    QCOMPARE(w->editorOfSlot(0)->documentBytes(), aText);
    QVERIFY(m.folder.read("recent.ini").startsWith(b.toLocal8Bit()));

    // Dropped on the window: the open one comes forward.
    drop(w, {a});
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 0);
    QVERIFY(Prompts::shown().isEmpty());
}

void TabsStatusDropTest::droppedFilesStopAtTheDocumentLimit() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString open = m.script("open.con", "rem open\r\n");
    w->OpenDocumentFile(open);
    for (int i = 1; i < MaxOpenDocuments - 2; ++i)
        w->NewDocumentTab();
    // A file that cannot be read still takes a tab, as with Open, and is reported; the rest
    // still open, and the limit is said once.
    const QString unreadable = QStringLiteral("/proc/self/mem");
    drop(w, {unreadable, open, m.script("fits.con", "rem fits\r\n"),
             m.script("over.con", "rem over\r\n"), m.script("over2.con", "rem over\r\n")});
    QCOMPARE(m.pages(), MaxOpenDocuments);
    QCOMPARE(m.active()->caption(), m.folder.file("fits.con"));
    QCOMPARE(Prompts::shownTexts(),
             QStringList({"Cannot open file /proc/self/mem", "Max controls reached"}));
}

QTEST_MAIN(TabsStatusDropTest)
#include "TabsStatusDropTest.moc"
