#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>

namespace marlix {

// One entry of an archive's table of contents.
struct RfaEntry {
    QString name;       // "<base>/<path>" for showing and matching: UTF-8, else Latin-1
    QByteArray rawName; // the name's bytes as stored, which extraction gives the file
    quint32 originalSize = 0;
    quint32 storedSize = 0;
    quint32 offset = 0; // of the data block, from the start of the file
    // Why the entry's data is refused without being read (it claims more bytes than its stored
    // bytes can hold, or its bytes are another entry's); empty for an entry that can be read.
    QString damage;
};

// Takes an entry's bytes a piece at a time.
using ByteSink = std::function<void(const char *data, qsizetype size)>;

// An RFA archive opened for reading, in either layout, compressed or not. Opening reads and
// checks the whole table, so a damaged table is refused at once; entry data is read on request.
// Every failure is a marlix::Error: "Cannot open file %s" for a file that cannot be read, and
// for a damaged archive a text naming the archive and, where one is involved, the entry.
//
// What is read stays in proportion to the file: the table is read entry by entry (it may sit
// in front of gigabytes of data), it may hold at most rfa::maxEntries entries and
// rfa::maxNameBytesInTable bytes of names, and an entry yields no more bytes than LZO1X can
// honestly make of bytes that belong to it alone.
class RfaReader {
public:
    explicit RfaReader(const QString &path);

    const QString &path() const { return m_path; }
    bool isCompressed() const { return m_compressed; }
    const QList<RfaEntry> &entries() const { return m_entries; }
    // The index of the entry of that name, compared ignoring case as the game does; -1 if none.
    int indexOf(const QString &name) const;
    // The same for a name given as bytes: the entry with exactly these bytes, else one that
    // matches ignoring case.
    int indexOfBytes(const QByteArray &name) const;

    // The entry's original bytes.
    QByteArray read(int index);
    QByteArray read(const RfaEntry &entry);
    // Hands the entry's original bytes to sink in order, at most one segment (or 64 KB of an
    // uncompressed entry) at a time, so an entry of any size is read in little memory. The
    // sizes are checked before the first piece; a segment that turns out damaged later throws
    // after the pieces before it.
    void readTo(const RfaEntry &entry, const ByteSink &sink);

private:
    [[noreturn]] void corrupt(const QString &problem) const;
    [[noreturn]] void corrupt(const RfaEntry &entry, const QString &problem) const;
    void readTable(quint32 tableOffset);
    void markSharedData();
    void readStored(const RfaEntry &entry, const ByteSink &sink);
    void readCompressed(const RfaEntry &entry, const ByteSink &sink);
    void readExactly(const RfaEntry &entry, qint64 at, char *into, qint64 size);

    QString m_path;
    QFile m_file;
    qint64 m_size = 0;
    bool m_compressed = false;
    QList<RfaEntry> m_entries;
};

} // namespace marlix
