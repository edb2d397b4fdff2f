#include "auxiliary/NewsPage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace marlix {

namespace {

const QChar breakOpportunity(0x200B); // a zero-width space

// The text with a place to break after every MaxUnbrokenChars characters without a blank;
// `unbroken` carries the count over from the run before.
QString withBreaks(const QString &text, int &unbroken) {
    QString out;
    out.reserve(text.size() + text.size() / MaxUnbrokenChars);
    for (const QChar c : text) {
        if (c.isSpace() || c == breakOpportunity) {
            unbroken = 0;
        } else if (++unbroken > MaxUnbrokenChars) {
            out += breakOpportunity;
            unbroken = 1;
        }
        out += c;
    }
    return out;
}

// A format that may go into another document: no part of a table or list of this one (their
// objects stay behind), and nothing the page names is fetched, since a picture could be any
// file of the machine.
template <typename Format> Format safeFormat(Format format) {
    format.clearProperty(QTextFormat::BackgroundImageUrl);
    format.clearProperty(QTextFormat::ObjectIndex);
    format.clearProperty(QTextFormat::ObjectType);
    return format;
}

} // namespace

QList<NewsParagraph> newsParagraphs(const QString &html) {
    QTextDocument document;
    document.setHtml(html);
    QList<NewsParagraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        NewsParagraph paragraph{safeFormat(block.blockFormat()), {}};
        int length = 0;
        int unbroken = 0;
        if (block.textList()) // the list stays behind; its items keep a bullet
            paragraph.runs.append({QStringLiteral("\u2022 "), safeFormat(block.charFormat())});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.charFormat().isImageFormat())
                continue;
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            text = withBreaks(text, unbroken);
            const QTextCharFormat format = safeFormat(fragment.charFormat());
            // A long paragraph goes on in the next one.
            while (length + text.size() > MaxParagraphChars) {
                const int room = MaxParagraphChars - length;
                paragraph.runs.append({text.left(room), format});
                paragraphs.append(paragraph);
                paragraph.runs.clear();
                text.remove(0, room);
                length = 0;
            }
            if (!text.isEmpty())
                paragraph.runs.append({text, format});
            length += text.size();
        }
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

void insertNewsParagraph(QTextCursor &cursor, const NewsParagraph &paragraph, bool first) {
    if (first)
        cursor.setBlockFormat(paragraph.format);
    else
        cursor.insertBlock(paragraph.format);
    for (const NewsRun &run : paragraph.runs)
        cursor.insertText(run.text, run.format);
}

} // namespace marlix
