#pragma once

#include "core/script/ObjectScan.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <optional>

namespace marlix {

// The rows of the object-list panel: type and name of every object line at the last fill,
// kept as spans of one byte array (a script can create a hundred thousand objects), and the
// cells the user has edited in place since. Without objects there are no rows. The type column
// can neither be selected nor edited.
class ObjectListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ObjectListModel(QObject *parent = nullptr);

    // Replaces every row, edits included, by the objects of the text. Returns the last object
    // line, or nothing when the text creates no object.
    std::optional<ObjectLine> fill(const TextView &text);
    // A cell's text as bytes (one per character), as the jump to its line searches for it.
    QByteArray cellBytes(int row, int column) const;
    // The bytes held for the rows, for the figures of the benchmarks.
    qsizetype storedBytes() const { return m_text.size(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        qsizetype start = 0; // of the type in m_text; the name follows it
        int typeLength = 0;
        int nameLength = 0;
    };
    QString cellText(int row, int column) const;

    QByteArray m_text;
    QList<Row> m_rows;
    QHash<qsizetype, QString> m_edited; // by row * 2 + column
};

} // namespace marlix
