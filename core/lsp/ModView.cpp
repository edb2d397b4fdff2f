#include "core/lsp/ModView.h"

#include "core/script/WordSearch.h"

#include <QDir>
#include <algorithm>

namespace marlix {

OpenScript &ModView::open(const QString &uri, const QString &path, int version,
                          const QByteArray &text) {
    auto script = std::make_shared<OpenScript>();
    script->uri = uri;
    script->path = QDir::cleanPath(path);
    script->version = version;
    script->document = std::make_unique<ScriptDocument>();
    script->document->setText(text, {ScriptOrigin::File, script->path, {}, {}});
    m_open.insert(uri, script);
    return *script;
}

void ModView::close(const QString &uri) {
    m_open.remove(uri);
}

OpenScript *ModView::find(const QString &uri) {
    const auto it = m_open.find(uri);
    return it == m_open.end() ? nullptr : it->get();
}

const ScriptScan &ModView::scanOf(OpenScript &script) const {
    if (!script.scanned) {
        script.scan = scanScript(script.document->text(), m_index.commandTable());
        script.scanned = true;
    }
    return script.scan;
}

bool ModView::isOpenPath(const QString &path) const {
    for (const auto &script : m_open)
        if (script->path == path)
            return true;
    return false;
}

QList<IndexEntry> ModView::merged(const QByteArray &name, const QByteArray &family,
                                  bool definitions) const {
    QList<IndexEntry> entries;
    const QList<IndexEntry> indexed =
        definitions ? m_index.definitions(name, family) : m_index.references(name, family);
    for (const IndexEntry &e : indexed)
        if (!isOpenPath(e.file))
            entries.append(e);
    const QByteArray foldedName = foldWord(name);
    const QByteArray foldedFamily = foldWord(family);
    for (const auto &script : m_open) {
        const ScriptScan &scan = scanOf(*script);
        auto matches = [&](const QByteArray &n, const QByteArray &f) {
            return foldWord(n) == foldedName && (family.isEmpty() || foldWord(f) == foldedFamily);
        };
        if (definitions) {
            for (const NameDefinition &d : scan.definitions)
                if (matches(d.name, d.family))
                    entries.append(
                        {script->path, d.line, d.column, d.family, d.type, d.name, true});
        } else {
            for (const NameReference &r : scan.references)
                if (matches(r.name, r.family))
                    entries.append({script->path, r.line, r.column, r.family, {}, r.name, false});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const IndexEntry &a, const IndexEntry &b) {
        return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
    });
    return entries;
}

QList<IndexEntry> ModView::definitions(const QByteArray &name, const QByteArray &family) const {
    return merged(name, family, true);
}

QList<IndexEntry> ModView::references(const QByteArray &name, const QByteArray &family) const {
    return merged(name, family, false);
}

bool ModView::inBaseGame(const QString &path) const {
    for (const QString &folder : m_baseFolders) {
        const QString clean = QDir::cleanPath(folder);
        if (path == clean || path.startsWith(clean + QLatin1Char('/')))
            return true;
    }
    return false;
}

RenameScope ModView::renameScope() const {
    RenameScope scope;
    scope.index = &m_index;
    scope.readOnlyFolders = m_baseFolders;
    for (const auto &script : m_open)
        scope.openTexts.insert(script->path, script->document->text());
    return scope;
}

} // namespace marlix
