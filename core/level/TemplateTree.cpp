#include "core/level/TemplateTree.h"

#include "core/level/ScriptLines.h"
#include "core/modindex/ModIndex.h"

#include <QSet>
#include <algorithm>

namespace marlix {

namespace {

const QByteArray Family = QByteArrayLiteral("ObjectTemplate");

QByteArray folded(const QByteArray &name) {
    return name.toLower();
}

bool isCreate(const ScriptLine &line) {
    return line.is(0, "objecttemplate.create") || line.is(0, "objecttemplate.createnotingrid") ||
           line.is(0, "objecttemplate.createinvisible");
}

QString lineOf(const TemplatePart &part, int depth) {
    QStringList fields{QString::fromLatin1(part.name)};
    if (part.state == TemplatePart::Undefined)
        fields << QStringLiteral("(undefined)");
    if (part.state == TemplatePart::Cycle)
        fields << QStringLiteral("(cycle)");
    for (const QByteArray *value : {&part.type, &part.geometry, &part.position, &part.rotation})
        if (!value->isEmpty())
            fields << QString::fromLatin1(*value);
    return QString(depth * 2, QLatin1Char(' ')) + fields.join(QStringLiteral("  ")) +
           QLatin1Char('\n');
}

} // namespace

TemplateTree::TemplateTree(const ModIndex &index) : m_index(index) {}

void TemplateTree::clear() {
    m_scripts.clear();
    m_savedScripts.clear();
    m_blocks.clear();
}

QStringList TemplateTree::scriptsRead() const {
    QStringList files = m_scripts.keys();
    for (auto it = m_savedScripts.cbegin(); it != m_savedScripts.cend(); ++it)
        if (!m_scripts.contains(it.key()))
            files.append(it.key());
    files.sort();
    return files;
}

const TemplateTree::Script &TemplateTree::script(const QString &file, bool saved) {
    QHash<QString, Script> &cache = saved ? m_savedScripts : m_scripts;
    const auto found = cache.constFind(file);
    if (found != cache.constEnd())
        return *found;
    QByteArray bytes;
    if (saved || !m_openText || !m_openText(file, bytes))
        bytes = m_index.fileBytes(file);
    Script &script = cache[file];
    Block *current = nullptr;
    forEachScriptLine(bytes, [&](const ScriptLine &line) {
        if (isCreate(line) && line.words.size() > 2) {
            const QByteArray name = folded(line.word(2));
            current = &script.blocks[name];
            current->defined = true;
            current->type = line.word(1);
            current->file = file;
            current->line = line.number;
            script.owners.append({line.number, line.word(2)});
        } else if ((line.is(0, "objecttemplate.activesafe") && line.words.size() > 2) ||
                   (line.is(0, "objecttemplate.active") && line.words.size() > 1)) {
            const QByteArray name = line.word(line.words.size() > 2 ? 2 : 1);
            current = &script.blocks[folded(name)];
            script.owners.append({line.number, name});
        } else if (line.is(0, "object.create")) {
            current = nullptr;
            script.owners.append({line.number, QByteArray()});
        } else if (!current || line.words.size() < 2) {
            return;
        } else if (line.is(0, "objecttemplate.addtemplate")) {
            current->children.append({line.word(1), {}, {}, file, line.number});
        } else if (line.is(0, "objecttemplate.setposition") && !current->children.isEmpty()) {
            current->children.last().position = line.word(1);
        } else if (line.is(0, "objecttemplate.setrotation") && !current->children.isEmpty()) {
            current->children.last().rotation = line.word(1);
        } else if (line.is(0, "objecttemplate.geometry")) {
            current->geometry = line.word(1);
        }
    });
    return script;
}

const TemplateTree::Block &TemplateTree::block(const QByteArray &name) {
    const QByteArray key = folded(name);
    const auto found = m_blocks.constFind(key);
    if (found != m_blocks.constEnd())
        return *found;
    // The scripts that define it come first; others may add to it after ObjectTemplate.active.
    QStringList files;
    for (const IndexEntry &entry : m_index.definitions(name, Family))
        if (!files.contains(entry.file))
            files.append(entry.file);
    for (const IndexEntry &entry : m_index.references(name, Family))
        if (!files.contains(entry.file))
            files.append(entry.file);
    Block merged;
    for (const QString &file : std::as_const(files)) {
        const auto it = script(file).blocks.constFind(key);
        if (it == script(file).blocks.constEnd())
            continue;
        if (it->defined && !merged.defined) {
            merged.defined = true;
            merged.type = it->type;
            merged.file = it->file;
            merged.line = it->line;
        }
        if (merged.geometry.isEmpty())
            merged.geometry = it->geometry;
        merged.children += it->children;
    }
    return *m_blocks.insert(key, merged);
}

TemplatePart TemplateTree::partOf(const QByteArray &name) {
    const Block &facts = block(name);
    TemplatePart part;
    part.name = name;
    part.state = facts.defined ? TemplatePart::Defined : TemplatePart::Undefined;
    part.type = facts.type;
    part.geometry = facts.geometry;
    part.file = facts.file;
    part.line = facts.line;
    return part;
}

TemplatePart TemplateTree::root(const QByteArray &name) {
    return partOf(name);
}

QList<TemplatePart> TemplateTree::children(const QByteArray &name,
                                           const QList<QByteArray> &ancestors) {
    QSet<QByteArray> above;
    for (const QByteArray &ancestor : ancestors)
        above.insert(folded(ancestor));
    const QList<Child> list = block(name).children;
    QList<TemplatePart> parts;
    for (const Child &child : list) {
        TemplatePart part = partOf(child.name);
        if (above.contains(folded(child.name)))
            part.state = TemplatePart::Cycle;
        part.position = child.position;
        part.rotation = child.rotation;
        part.addedIn = child.file;
        part.addedLine = child.line;
        if (part.state == TemplatePart::Undefined) {
            part.file = child.file;
            part.line = child.line;
        }
        parts.append(part);
    }
    return parts;
}

QList<TemplateUse> TemplateTree::usedBy(const QByteArray &name) {
    QList<TemplateUse> uses;
    for (const IndexEntry &entry : m_index.references(name, Family)) {
        const QByteArray command = m_index.lineText(entry.file, entry.line)
                                       .trimmed()
                                       .split(' ')
                                       .value(0)
                                       .split('\t')
                                       .value(0);
        const QByteArray lower = command.toLower();
        if (lower == "objecttemplate.active" || lower == "objecttemplate.activesafe")
            continue;
        TemplateUse use{entry.file, entry.line, command, {}};
        const auto &owners = script(entry.file, true).owners;
        for (const auto &owner : owners) {
            if (owner.first > entry.line)
                break;
            use.owner = owner.second;
        }
        uses.append(use);
    }
    std::sort(uses.begin(), uses.end(), [](const TemplateUse &a, const TemplateUse &b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return uses;
}

void TemplateTree::walk(const QByteArray &name, QList<QByteArray> &ancestors, int depth,
                        QString *text, int &count, const TemplatePart &part) {
    ++count;
    if (text)
        *text += lineOf(part, depth);
    if (part.state != TemplatePart::Defined)
        return;
    ancestors.append(name);
    for (const TemplatePart &child : children(name, ancestors))
        walk(child.name, ancestors, depth + 1, text, count, child);
    ancestors.removeLast();
}

QString TemplateTree::text(const QByteArray &name) {
    QString text;
    QList<QByteArray> ancestors;
    int count = 0;
    walk(name, ancestors, 0, &text, count, root(name));
    return text;
}

int TemplateTree::countParts(const QByteArray &name) {
    QList<QByteArray> ancestors;
    int count = 0;
    walk(name, ancestors, 0, nullptr, count, root(name));
    return count;
}

} // namespace marlix
