#pragma once

#include "auxiliary/NewsPage.h"

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QTimer;

// The news window: shows the update server's news page, fetched afresh each time the window
// goes from hidden to shown.
class TfrmNews : public QWidget {
    Q_OBJECT
public:
    explicit TfrmNews(QWidget *parent = nullptr);
    QTextBrowser *WebBrowser = nullptr;

    void FormShow();
    void Navigate(const QUrl &url);
    // The page is being taken apart or put in the view (a few paragraphs at a time).
    bool isLoading() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void linkClicked(const QUrl &link);
    void showPage(const QString &html, int request, bool capped);
    void putParagraphs();
    QUrl m_page;
    int m_request = 0; // only the newest request may fill the view
    QTimer *m_feed = nullptr;
    QList<marlix::NewsParagraph> m_paragraphs; // the page, put in from m_next on
    qsizetype m_next = 0;
    bool m_parsing = false;
};

extern TfrmNews *frmNews;
