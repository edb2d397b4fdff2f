#pragma once

#include "core/script/CompletionSession.h"

// Template names as a source of completion lists: after a reference command and its blank
// (ObjectTemplate.addTemplate, Object.create, ObjectTemplate.geometry ...) the list holds the
// names the mod index knows of the family that command refers to.
namespace marlix {

class ModIndex;

class NameCompletionSource : public CompletionSource {
public:
    // The index is only read, under its own lock, so a build may replace its contents at any
    // time; it must outlive the source.
    explicit NameCompletionSource(const ModIndex &index) : m_index(index) {}

    // An offer when the caret stands where the name argument of a reference command begins,
    // with nothing of the argument typed yet and nothing but blanks after the caret on its line
    // (a line being written, not one passed over with the arrow keys); the typed prefix then
    // selects. Lines that are remarks offer nothing.
    std::optional<CompletionOffer> offerAt(const CompletionText &text) override;

private:
    const ModIndex &m_index;
};

} // namespace marlix
