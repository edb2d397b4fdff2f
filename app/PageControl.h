#pragma once

#include <QPointer>
#include <QStyleOptionTab>
#include <QWidget>

class QStackedWidget;

namespace marlix {
class PageControl;
}

// One page of a marlix::PageControl. Its caption is the document's full file name; its tab shows
// the file's name and has the caption as its tip, unless a display text stands in for both
// until the next caption is set. Tag is free for the owner.
class TTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TTabSheet(marlix::PageControl *owner);
    ~TTabSheet() override;

    int Tag = 0;
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // The document's full name: the display text while there is one, else the caption; with
    // the changed mark in front while the document has unsaved changes.
    QString displayText() const;
    // What its tab shows: as displayText, but a file by its name (with its folders only as far
    // as needed to tell it from another open script of that name). The full path is the tab's
    // tooltip.
    QString tabText() const { return m_tabText; }
    void setDisplayText(const QString &text);
    void setChanged(bool changed);
    // Lays the document out on the page: the editor filling it, its object-list panel (if any)
    // at its right.
    void setContent(QWidget *editor, QWidget *panel);

private:
    friend class marlix::PageControl;
    QString m_caption;
    QString m_display;
    QString m_tabText;
    bool m_changed = false;
    QPointer<marlix::PageControl> m_owner;
};

// The row of tabs above the pages. Unlike QTabBar, which scrolls, it wraps onto as many rows
// as the tabs need, each tab as wide as its caption, so the right ends of the rows are ragged
// and every tab stays in sight. The tab under the mouse is drawn hot.
namespace marlix {

class TabRow : public QWidget {
    Q_OBJECT
public:
    explicit TabRow(QWidget *parent);

    void setCaptions(const QStringList &captions);
    // What resting the mouse on each tab shows.
    void setToolTips(const QStringList &tips);
    QString toolTipAt(int index) const { return m_tips.value(index); }
    void setCurrent(int index);
    int current() const { return m_current; }
    int hot() const { return m_hot; }
    int rowCount() const;
    QRect tabRect(int index) const; // in widget coordinates, for a row of the current width
    int tabAt(const QPoint &point) const;
    // How the style is asked to draw a tab: its place and the text shown on it.
    QStyleOptionTab tabOption(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void tabClicked(int index);
    void tabMiddleClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    int tabWidth(const QString &caption, int available) const;
    // A tab of the row's style and shape carrying caption, not yet placed.
    QStyleOptionTab captionOption(const QString &caption) const;
    int rowHeight() const;
    QList<QRect> layoutFor(int width) const;
    void relayout();

    QStringList m_captions;
    QStringList m_tips;
    QList<QRect> m_rects;
    int m_current = -1;
    int m_hot = -1;
};

// A page control: the wrapping tab row over a stack of pages. Pages are appended in the order
// they are made; destroying a page removes its tab.
class PageControl : public QWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget *parent);
    ~PageControl() override;

    int pageCount() const { return int(m_pages.size()); }
    TTabSheet *page(int index) const { return m_pages.value(index); }
    int indexOf(const TTabSheet *page) const;
    TTabSheet *ActivePage() const;
    void setActivePage(TTabSheet *page);
    marlix::TabRow *tabRow() const { return m_row; }

signals:
    void changed();           // the user switched to another tab
    void activePageChanged(); // by the user or the program, also to none

private:
    friend class ::TTabSheet;
    void addPage(TTabSheet *page);
    void removePage(TTabSheet *page);
    void captionChanged();
    void rowClicked(int index);

    marlix::TabRow *m_row;
    QStackedWidget *m_stack;
    QList<TTabSheet *> m_pages;
    TTabSheet *m_active = nullptr;
};

} // namespace marlix
