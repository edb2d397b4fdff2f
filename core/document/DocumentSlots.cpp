#include "core/document/DocumentSlots.h"

namespace marlix {

int lowestFreeSlot(const SlotCaptions &captions) {
    for (int i = 0; i < DocumentSlotCount; ++i)
        if (!captions[i])
            return i;
    return -1;
}

int slotWithCaption(const SlotCaptions &captions, const QString &caption) {
    for (int i = DocumentSlotCount - 1; i >= 0; --i)
        if (captions[i] && *captions[i] == caption)
            return i;
    return -1;
}

int tabActiveAfterRemoval(int removed, int count) {
    if (count <= 1)
        return -1;
    return removed < count - 1 ? removed : 0;
}

} // namespace marlix
