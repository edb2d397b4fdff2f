#pragma once

#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class QTextCursor;

// The news page comes from a server: its HTML may be anything. Rich text lays a long paragraph,
// a long word or a big table out in one piece, in time that grows with the square of its size
// (a 64 KB word took ten seconds), so the page is taken apart into small paragraphs first, off
// the window's thread, and the window puts them in a few at a time.
namespace marlix {

struct NewsRun {
    QString text;
    QTextCharFormat format;
};

struct NewsParagraph {
    QTextBlockFormat format;
    QList<NewsRun> runs;
};

// The paragraphs of the page: every paragraph of the HTML (those of table cells and lists
// too, one after the other) with its words and links, no picture, no paragraph longer than
// MaxParagraphChars, and a place to break a line at least every MaxUnbrokenChars characters.
// Runs on any thread.
constexpr int MaxParagraphChars = 2000;
constexpr int MaxUnbrokenChars = 60;
QList<NewsParagraph> newsParagraphs(const QString &html);

// Puts one paragraph at the cursor, after the paragraphs before it (`first`: in the empty
// paragraph a document starts with).
void insertNewsParagraph(QTextCursor &cursor, const NewsParagraph &paragraph, bool first);

} // namespace marlix
