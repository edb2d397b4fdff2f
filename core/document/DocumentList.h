#pragma once

#include "core/document/DiskChange.h"
#include "core/document/DocumentSlots.h"

#include <QList>
#include <QString>

namespace marlix {

// The scripts open in the main window, in the order of their tabs. Each has a slot, the
// lowest one free when it opened, by which the window finds its editor and tab page; its path
// (empty while untitled); a text shown in place of the path until the next path is given
// (an archive entry's "[archive:entry]"); whether it has unsaved changes; and what was known
// of its file when it was last loaded, saved or looked at, to tell a change on disk.
class DocumentList {
public:
    struct KnownFile {
        QString path; // the path the fingerprint was taken of
        FileFingerprint fingerprint;
    };

    int count() const { return int(m_documents.size()); }
    bool isFull() const { return count() >= MaxOpenDocuments; }
    // Opens a document in the lowest free slot, after the others; -1 when the list is full.
    int open();
    // Takes the document out; a slot that holds none is left alone.
    void close(int slot);

    bool contains(int slot) const { return find(slot) != nullptr; }
    // The slots in tab order.
    QList<int> tabOrder() const;
    int slotAt(int index) const;
    int indexOf(int slot) const; // -1 when the slot holds no document

    QString path(int slot) const;
    // Naming a document takes its display text away.
    void setPath(int slot, const QString &path);
    QString display(int slot) const;
    void setDisplay(int slot, const QString &text);
    bool isModified(int slot) const;
    void setModified(int slot, bool modified);
    // The document's full name as its window shows it: the display text while there is one,
    // else the path; with the changed mark in front while it has unsaved changes.
    QString caption(int slot) const;

    // The document that is the file at path: the same file under another spelling (a link,
    // "..", "." or doubled separators) is the same document. The empty path names an untitled
    // document. Two documents saved under one name: the higher slot is taken. -1 when none.
    int slotWithFile(const QString &path) const;

    const KnownFile &knownFile(int slot) const;
    void setKnownFile(int slot, const KnownFile &known);

private:
    struct Document {
        int slot = -1;
        QString path;
        QString display;
        bool modified = false;
        KnownFile known;
    };
    const Document *find(int slot) const;
    Document *find(int slot);

    QList<Document> m_documents; // in tab order
};

} // namespace marlix
