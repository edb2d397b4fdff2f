#include "core/document/DocumentList.h"

#include "core/document/DocumentCaption.h"

#include <algorithm>

namespace marlix {

int DocumentList::open() {
    if (isFull())
        return -1;
    int slot = 0;
    while (contains(slot))
        ++slot;
    Document document;
    document.slot = slot;
    m_documents.append(document);
    return slot;
}

void DocumentList::close(int slot) {
    m_documents.removeIf([slot](const Document &d) { return d.slot == slot; });
}

QList<int> DocumentList::tabOrder() const {
    QList<int> result;
    result.reserve(m_documents.size());
    for (const Document &d : m_documents)
        result.append(d.slot);
    return result;
}

int DocumentList::slotAt(int index) const {
    return index >= 0 && index < count() ? m_documents[index].slot : -1;
}

int DocumentList::indexOf(int slot) const {
    for (int i = 0; i < count(); ++i)
        if (m_documents[i].slot == slot)
            return i;
    return -1;
}

const DocumentList::Document *DocumentList::find(int slot) const {
    for (const Document &d : m_documents)
        if (d.slot == slot)
            return &d;
    return nullptr;
}

DocumentList::Document *DocumentList::find(int slot) {
    return const_cast<Document *>(std::as_const(*this).find(slot));
}

QString DocumentList::path(int slot) const {
    const Document *d = find(slot);
    return d ? d->path : QString();
}

void DocumentList::setPath(int slot, const QString &path) {
    if (Document *d = find(slot)) {
        d->path = path;
        d->display.clear();
    }
}

QString DocumentList::display(int slot) const {
    const Document *d = find(slot);
    return d ? d->display : QString();
}

void DocumentList::setDisplay(int slot, const QString &text) {
    if (Document *d = find(slot))
        d->display = text;
}

bool DocumentList::isModified(int slot) const {
    const Document *d = find(slot);
    return d && d->modified;
}

void DocumentList::setModified(int slot, bool modified) {
    if (Document *d = find(slot))
        d->modified = modified;
}

QString DocumentList::caption(int slot) const {
    const Document *d = find(slot);
    if (!d)
        return {};
    return documentCaption(d->display.isEmpty() ? d->path : d->display, d->modified);
}

int DocumentList::slotWithFile(const QString &path) const {
    // The higher slot of two that carry one name; the exact path first, as it costs nothing
    // and holds also for a file gone from disk.
    int exact = -1;
    for (const Document &d : m_documents)
        if (d.path == path)
            exact = std::max(exact, d.slot);
    if (exact >= 0 || path.isEmpty())
        return exact;
    int same = -1;
    for (const Document &d : m_documents)
        if (!d.path.isEmpty() && d.slot > same && sameDocument(d.path, path))
            same = d.slot;
    return same;
}

const DocumentList::KnownFile &DocumentList::knownFile(int slot) const {
    static const KnownFile none;
    const Document *d = find(slot);
    return d ? d->known : none;
}

void DocumentList::setKnownFile(int slot, const KnownFile &known) {
    if (Document *d = find(slot))
        d->known = known;
}

} // namespace marlix
