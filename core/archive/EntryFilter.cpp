#include "core/archive/EntryFilter.h"

namespace marlix {

bool isScriptEntry(const QString &name) {
    for (const char *suffix : {".con", ".inc", ".bak"}) {
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QList<int> filterEntries(const QList<RfaEntry> &entries, const QString &text, bool all) {
    QList<int> shown;
    for (int i = 0; i < entries.size(); ++i) {
        const QString &name = entries[i].name;
        if ((all || isScriptEntry(name)) && name.contains(text, Qt::CaseInsensitive))
            shown.append(i);
    }
    return shown;
}

} // namespace marlix
