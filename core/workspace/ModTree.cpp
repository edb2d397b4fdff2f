#include "core/workspace/ModTree.h"

#include "core/archive/EntryFilter.h"
#include "core/archive/RfaReader.h"
#include "core/common/Error.h"
#include "core/modindex/IndexFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace marlix {

namespace {

constexpr int DepthLimit = 64;

int kindRank(const ModTreeNode &node) {
    return node.isContainer() ? 0 : 1;
}

void sortChildren(ModTreeNode &node) {
    std::sort(node.children.begin(), node.children.end(),
              [](const auto &a, const auto &b) { return comesBefore(*a, *b); });
}

std::unique_ptr<ModTreeNode> makeNode(ModTreeNode::Kind kind, const QString &name,
                                      const QString &path) {
    auto node = std::make_unique<ModTreeNode>();
    node->kind = kind;
    node->name = name;
    node->path = path;
    return node;
}

// Fills `node` from its folder; false when nothing worth showing lies below it.
bool scanFolder(ModTreeNode &node, int depth, QSet<QString> &onTheWay, QStringList *scanned) {
    const QString canonical = QFileInfo(node.path).canonicalFilePath();
    if (depth > DepthLimit || canonical.isEmpty() || onTheWay.contains(canonical))
        return false;
    onTheWay.insert(canonical);
    if (scanned)
        scanned->append(node.path);
    const QFileInfoList entries = QDir(node.path).entryInfoList(
        QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const QString path = node.path + QLatin1Char('/') + name;
        if (entry.isDir()) {
            auto folder = makeNode(ModTreeNode::Folder, name, path);
            if (scanFolder(*folder, depth + 1, onTheWay, scanned))
                node.add(std::move(folder));
        } else if (entry.isFile() && isScriptName(name)) {
            node.add(makeNode(ModTreeNode::Script, name, path));
        } else if (entry.isFile() && isArchiveName(name)) {
            auto archive = makeNode(ModTreeNode::Archive, name, path);
            archive->archive = path;
            readArchiveEntries(*archive);
            node.add(std::move(archive));
        }
    }
    onTheWay.remove(canonical);
    sortChildren(node);
    return !node.children.empty() || node.kind == ModTreeNode::Root;
}

} // namespace

int ModTreeNode::row() const {
    if (!parent)
        return 0;
    const auto &siblings = parent->children;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this)
            return int(i);
    return 0;
}

ModTreeNode *ModTreeNode::add(std::unique_ptr<ModTreeNode> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

bool comesBefore(const ModTreeNode &a, const ModTreeNode &b) {
    if (kindRank(a) != kindRank(b))
        return kindRank(a) < kindRank(b);
    const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    if (a.name != b.name)
        return a.name < b.name;
    return a.kind < b.kind;
}

std::unique_ptr<ModTreeNode> scanModTree(const QStringList &folders, QStringList *scanned) {
    auto top = makeNode(ModTreeNode::Folder, QString(), QString());
    QSet<QString> shown;
    for (const QString &given : folders) {
        QString folder = QDir::cleanPath(given);
        if (folder.isEmpty() || !QFileInfo(folder).isDir() || shown.contains(folder))
            continue;
        shown.insert(folder);
        auto root = makeNode(ModTreeNode::Root, QDir::toNativeSeparators(folder), folder);
        QSet<QString> onTheWay;
        scanFolder(*root, 0, onTheWay, scanned);
        top->add(std::move(root));
    }
    return top;
}

void readArchiveEntries(ModTreeNode &archive) {
    archive.children.clear();
    archive.error.clear();
    QList<RfaEntry> entries;
    try {
        entries = RfaReader(archive.path).entries();
    } catch (const Error &error) {
        archive.error = error.text();
        return;
    }
    for (const RfaEntry &entry : entries) {
        if (!isScriptEntry(entry.name))
            continue;
        QStringList parts = entry.name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty())
            continue;
        const QString fileName = parts.takeLast();
        ModTreeNode *at = &archive;
        QString inside;
        for (const QString &part : std::as_const(parts)) {
            inside += part + QLatin1Char('/');
            auto found = std::find_if(at->children.begin(), at->children.end(), [&](auto &c) {
                return c->kind == ModTreeNode::ArchiveFolder && c->name == part;
            });
            if (found != at->children.end()) {
                at = found->get();
                continue;
            }
            auto folder = makeNode(ModTreeNode::ArchiveFolder, part,
                                   archive.path + QLatin1Char('/') + inside.chopped(1));
            folder->archive = archive.path;
            at = at->add(std::move(folder));
        }
        auto leaf =
            makeNode(ModTreeNode::Entry, fileName, archive.path + QLatin1Char('/') + entry.name);
        leaf->archive = archive.path;
        leaf->entryName = entry.name;
        at->add(std::move(leaf));
    }
    // Sorted below every level once all entries are in.
    std::vector<ModTreeNode *> pending{&archive};
    while (!pending.empty()) {
        ModTreeNode *node = pending.back();
        pending.pop_back();
        sortChildren(*node);
        for (auto &child : node->children)
            if (child->isContainer())
                pending.push_back(child.get());
    }
}

} // namespace marlix
