#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The news window: shows the update server's news page, fetched afresh each time the window
// goes from hidden to shown.
class TfrmNews : public QWidget {
    Q_OBJECT
public:
    explicit TfrmNews(QWidget *parent = nullptr);
    QTextBrowser *WebBrowser = nullptr;

    void FormShow();
    void Navigate(const QUrl &url);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void linkClicked(const QUrl &link);
    QUrl m_page;
    int m_request = 0; // only the newest request may fill the view
};

extern TfrmNews *frmNews;
