#pragma once

#include <QString>

// Slots tie an open document's editor to its tab page (DocumentList hands them out). There are
// 30 of them, but at most 29 documents are open at once, so the last slot is never used.
namespace marlix {

constexpr int DocumentSlotCount = 30;
constexpr int MaxOpenDocuments = 29;

// The path of a document as its tab carries it: "." and doubled separators taken out, and
// ".." where the shorter path names the same file (after a link to a folder it does not, so
// such a path is kept as given).
QString cleanDocumentPath(const QString &path);

// Whether two paths name one document: the same file reached through a symbolic link, "..",
// "." or doubled separators. A path that names no file matches only its cleaned twin.
bool sameDocument(const QString &first, const QString &second);

// The tab that becomes active when the active tab at `removed` of `count` tabs goes away:
// the one that followed it, or the first when it was the last, or none (-1) when it was the
// only one. The index counts in the row after the removal.
int tabActiveAfterRemoval(int removed, int count);

} // namespace marlix
