#include "app/PageControl.h"

#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <memory>

class TabRowTest : public QObject {
    Q_OBJECT

private slots:
    void rowsWrapWithRaggedEndsAndKeepEveryTabInSight();
    void captionsAreShownWhole();
    void clicksSwitchPagesAndHotTracking();
    void removingPagesActivatesTheFollowingOne();
};

void TabRowTest::rowsWrapWithRaggedEndsAndKeepEveryTabInSight() {
    marlix::PageControl control(nullptr);
    control.resize(600, 400);
    std::vector<std::unique_ptr<TTabSheet>> pages;
    for (int i = 0; i < 29; ++i) {
        pages.push_back(std::make_unique<TTabSheet>(&control));
        pages.back()->setCaption(QStringLiteral("/mods/m/") + QString(i % 7 * 3, QLatin1Char('x')) +
                                 QStringLiteral(".con"));
    }
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    marlix::TabRow *row = control.tabRow();
    QVERIFY(row->rowCount() > 2);
    QCOMPARE(row->height(), row->heightForWidth(row->width()));
    const QRect whole = row->rect();
    int widest = 0;
    for (int i = 0; i < 29; ++i) {
        const QRect tab = row->tabRect(i);
        QVERIFY2(whole.contains(tab), qPrintable(QString::number(i)));
        widest = qMax(widest, tab.right());
        if (i > 0 && tab.x() > 0)
            QCOMPARE(tab.x(), row->tabRect(i - 1).right() + 1); // same row, side by side
    }
    // The captions differ in width, so the rows do not all end at the same place.
    QSet<int> rowEnds;
    for (int i = 0; i < 29; ++i)
        if (i == 28 || row->tabRect(i + 1).x() == 0)
            rowEnds.insert(row->tabRect(i).right());
    QVERIFY(rowEnds.size() > 1);

    // A caption wider than the row gets a row of its own, no wider than the row.
    pages[5]->setCaption(QString(400, QLatin1Char('x')));
    QCOMPARE(row->tabRect(5).x(), 0);
    QVERIFY(row->tabRect(5).width() <= row->width());
    // A narrower control needs more rows; an empty caption still has a tab to click.
    const int rows = row->rowCount();
    control.resize(300, 400);
    QTRY_VERIFY(row->rowCount() > rows);
    pages[0]->setCaption(QString());
    QVERIFY(row->tabRect(0).width() > 10);
}

// The style draws the caption inside margins of its own and reads "&" as a mnemonic marker;
// a name must still show every character, the first and the last included, and its path is
// the tab's tip.
void TabRowTest::captionsAreShownWhole() {
    marlix::PageControl control(nullptr);
    control.resize(1000, 300);
    const QStringList captions = {
        QStringLiteral("/home/me/mods/Scout & Co/objects & more.con"),
        QStringLiteral("/home/me/mods/a/very/long/folder/name/for/tab/number/1/script1.con"),
        QStringLiteral("a.con")};
    const QStringList names = {QStringLiteral("objects & more.con"), QStringLiteral("script1.con"),
                               QStringLiteral("a.con")};
    std::vector<std::unique_ptr<TTabSheet>> pages;
    for (const QString &caption : captions) {
        pages.push_back(std::make_unique<TTabSheet>(&control));
        pages.back()->setCaption(caption);
    }
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    marlix::TabRow *row = control.tabRow();
    for (int i = 0; i < captions.size(); ++i) {
        const QStyleOptionTab option = row->tabOption(i);
        QString drawn = option.text;
        QCOMPARE(drawn.replace(QStringLiteral("&&"), QStringLiteral("&")), names[i]);
        QCOMPARE(row->toolTipAt(i), captions[i]);
        const QRect room = row->style()->subElementRect(QStyle::SE_TabBarTabText, &option, row);
        QVERIFY2(room.width() >= row->fontMetrics().size(Qt::TextShowMnemonic, option.text).width(),
                 qPrintable(captions[i]));
        QVERIFY(row->rect().contains(option.rect));
    }
}

void TabRowTest::clicksSwitchPagesAndHotTracking() {
    marlix::PageControl control(nullptr);
    control.resize(500, 300);
    TTabSheet *a = new TTabSheet(&control);
    TTabSheet *b = new TTabSheet(&control);
    a->setCaption(QStringLiteral("a.con"));
    b->setCaption(QStringLiteral("b.con"));
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    QCOMPARE(control.ActivePage(), a); // the first page made becomes active
    QSignalSpy changed(&control, &marlix::PageControl::changed);
    marlix::TabRow *row = control.tabRow();
    QTest::mouseMove(row, row->tabRect(1).center());
    QTRY_COMPARE(row->hot(), 1);
    QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(1).center());
    QCOMPARE(control.ActivePage(), b);
    QCOMPARE(row->current(), 1);
    QVERIFY(b->isVisible() && !a->isVisible());
    QCOMPARE(changed.size(), 1);
    QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(1).center()); // already active
    QCOMPARE(changed.size(), 1);
    control.setActivePage(a); // the program's own switch is no user change
    QCOMPARE(changed.size(), 1);
    delete a;
    delete b;
}

void TabRowTest::removingPagesActivatesTheFollowingOne() {
    marlix::PageControl control(nullptr);
    QList<TTabSheet *> pages;
    for (int i = 0; i < 4; ++i)
        pages.append(new TTabSheet(&control));
    control.setActivePage(pages[1]);
    delete pages[1];
    QCOMPARE(control.ActivePage(), pages[2]);
    // Removing a page that is not active leaves the active one alone.
    delete pages[0];
    QCOMPARE(control.ActivePage(), pages[2]);
    QCOMPARE(control.tabRow()->current(), 0);
    delete pages[3];
    QCOMPARE(control.ActivePage(), pages[2]);
    delete pages[2];
    QCOMPARE(control.ActivePage(), nullptr);
    QCOMPARE(control.pageCount(), 0);
    QCOMPARE(control.tabRow()->current(), -1);
    // Pages still alive when the control goes are taken down with it.
    auto *control2 = new marlix::PageControl(nullptr);
    new TTabSheet(control2);
    delete control2;
}

QTEST_MAIN(TabRowTest)
#include "TabRowTest.moc"
