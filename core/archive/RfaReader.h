#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace marlix {

// One entry of an archive's table of contents.
struct RfaEntry {
    QString name;       // "<base>/<path>", as the file system would spell it
    QByteArray rawName; // the name's bytes as stored
    quint32 originalSize = 0;
    quint32 storedSize = 0;
    quint32 offset = 0; // of the data block, from the start of the file
};

// An RFA archive opened for reading, in either layout, compressed or not. Opening reads and
// checks the whole table, so a damaged table is refused at once; entry data is read on request.
// Every failure is a marlix::Error: "Cannot open file %s" for a file that cannot be read, and
// for a damaged archive a text naming the archive and, where one is involved, the entry.
class RfaReader {
public:
    explicit RfaReader(const QString &path);

    const QString &path() const { return m_path; }
    bool isCompressed() const { return m_compressed; }
    const QList<RfaEntry> &entries() const { return m_entries; }
    // The index of the entry of that name, compared ignoring case as the game does; -1 if none.
    int indexOf(const QString &name) const;

    // The entry's original bytes.
    QByteArray read(int index);
    QByteArray read(const RfaEntry &entry);

private:
    [[noreturn]] void corrupt(const QString &problem) const;
    [[noreturn]] void corrupt(const RfaEntry &entry, const QString &problem) const;
    QByteArray readBlock(const RfaEntry &entry);
    QByteArray decompress(const RfaEntry &entry, const QByteArray &block) const;

    QString m_path;
    QFile m_file;
    qint64 m_size = 0;
    bool m_compressed = false;
    QList<RfaEntry> m_entries;
};

} // namespace marlix
