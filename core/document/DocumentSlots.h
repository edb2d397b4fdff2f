#pragma once

#include <QString>
#include <array>
#include <optional>

// Document captions tie an editor to its tab page. There are 30 of them, but at most 29
// documents are open at once, so the last slot is never used.
namespace marlix {

constexpr int DocumentSlotCount = 30;
constexpr int MaxOpenDocuments = 29;

// The caption of the document in each slot; empty optional for a free slot.
using SlotCaptions = std::array<std::optional<QString>, DocumentSlotCount>;

// The lowest free slot, or -1 when all are taken.
int lowestFreeSlot(const SlotCaptions &captions);

// The slot whose document carries exactly this caption (case-sensitive, no normalisation).
// Two documents saved under one name both carry it; the higher slot is taken. -1 when none.
int slotWithCaption(const SlotCaptions &captions, const QString &caption);

// The path of a document as its tab carries it: "." and doubled separators taken out, and
// ".." where the shorter path names the same file (after a link to a folder it does not, so
// such a path is kept as given).
QString cleanDocumentPath(const QString &path);

// Whether two paths name one document: the same file reached through a symbolic link, "..",
// "." or doubled separators. A path that names no file matches only its cleaned twin.
bool sameDocument(const QString &first, const QString &second);

// The slot whose document is the file at path (by sameDocument). The empty path is an
// untitled document's name, as its caption says; no other path ever names one. Two documents
// saved under one name: the higher slot is taken. -1 when none.
int slotWithFile(const SlotCaptions &captions, const QString &path);

// The tab that becomes active when the active tab at `removed` of `count` tabs goes away:
// the one that followed it, or the first when it was the last, or none (-1) when it was the
// only one. The index counts in the row after the removal.
int tabActiveAfterRemoval(int removed, int count);

} // namespace marlix
