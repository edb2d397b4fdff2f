#pragma once

#include "core/document/ScriptDocument.h"
#include "core/modindex/ModIndex.h"
#include "core/modindex/Rename.h"

#include <QHash>
#include <QString>
#include <memory>

// The mod as a client sees it: the index of the scripts on disk, with the scripts open in
// the client counting as their open text (unsaved changes included) instead of their file.
namespace marlix {

struct OpenScript {
    QString uri;
    QString path; // the file for a file: address; the address itself otherwise
    int version = 0;
    std::unique_ptr<ScriptDocument> document;
    ScriptScan scan;
    bool scanned = false;
};

class ModView {
public:
    ModView(const ModIndex &index, const QStringList &baseFolders)
        : m_index(index), m_baseFolders(baseFolders) {}

    const ModIndex &index() const { return m_index; }
    const QStringList &baseFolders() const { return m_baseFolders; }
    void setBaseFolders(const QStringList &folders) { m_baseFolders = folders; }

    OpenScript &open(const QString &uri, const QString &path, int version, const QByteArray &text);
    void close(const QString &uri);
    OpenScript *find(const QString &uri);
    const QHash<QString, std::shared_ptr<OpenScript>> &openScripts() const { return m_open; }
    // The scan of an open script, made again after its text changed.
    const ScriptScan &scanOf(OpenScript &script) const;
    void changed(OpenScript &script) { script.scanned = false; }

    QList<IndexEntry> definitions(const QByteArray &name, const QByteArray &family) const;
    QList<IndexEntry> references(const QByteArray &name, const QByteArray &family) const;
    bool inBaseGame(const QString &path) const;

    RenameScope renameScope() const;

private:
    QList<IndexEntry> merged(const QByteArray &name, const QByteArray &family,
                             bool definitions) const;
    bool isOpenPath(const QString &path) const;

    const ModIndex &m_index;
    QStringList m_baseFolders;
    QHash<QString, std::shared_ptr<OpenScript>> m_open; // by address
};

} // namespace marlix
