#include "core/document/ObjectListModel.h"

#include "core/script/Windows1252.h"

namespace marlix {

namespace {

constexpr int columns = 2;

// The column shows a few dozen characters; laying out a name that is the rest of a line of a
// megabyte took the view seconds per paint. Editing and the search still get the whole name.
constexpr qsizetype shownLength = 1024;

bool isCell(const QAbstractItemModel &model, const QModelIndex &index) {
    return index.isValid() && model.checkIndex(index);
}

qsizetype cellKey(int row, int column) {
    return qsizetype(row) * columns + column;
}

} // namespace

ObjectListModel::ObjectListModel(QObject *parent) : QAbstractTableModel(parent) {}

std::optional<ObjectLine> ObjectListModel::fill(const TextView &text) {
    beginResetModel();
    m_text.clear();
    m_rows.clear();
    m_edited.clear();
    std::optional<ObjectLine> last;
    forEachObjectLine(text, [&](const ObjectLine &line) {
        Row row;
        // Several keywords on one line share that line's bytes: each row's text is the rest
        // of the line, so copying it per row would grow with the square of the line's length.
        if (last && last->lineEnd == line.lineEnd) {
            row.start = m_rows.last().start + (line.textStart - last->textStart);
        } else {
            row.start = m_text.size();
            m_text.append(text.data + (line.textStart - text.offset),
                          line.lineEnd - line.textStart);
        }
        row.typeLength = int(line.typeLength);
        row.nameLength = int(line.lineEnd - line.textStart - line.typeLength);
        m_rows.append(row);
        last = line;
    });
    m_text.squeeze();
    m_rows.squeeze();
    endResetModel();
    return last;
}

QByteArray ObjectListModel::cellBytes(int row, int column) const {
    const auto edited = m_edited.constFind(cellKey(row, column));
    if (edited != m_edited.cend())
        return windows1252Bytes(*edited).value_or(edited->toLatin1());
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= columns)
        return QByteArray();
    const Row &r = m_rows.at(row);
    return column == 0 ? m_text.mid(r.start, r.typeLength)
                       : m_text.mid(r.start + r.typeLength, r.nameLength);
}

QString ObjectListModel::cellText(int row, int column) const {
    const auto edited = m_edited.constFind(cellKey(row, column));
    return edited != m_edited.cend() ? *edited : windows1252Text(cellBytes(row, column));
}

int ObjectListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ObjectListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : columns;
}

QVariant ObjectListModel::data(const QModelIndex &index, int role) const {
    if (!isCell(*this, index) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    QString text = cellText(index.row(), index.column());
    if (role == Qt::DisplayRole && text.size() > shownLength) {
        text.truncate(shownLength);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

bool ObjectListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!isCell(*this, index) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    const QString text = value.toString();
    if (text == cellText(index.row(), index.column()))
        return true;
    m_edited.insert(cellKey(index.row(), index.column()), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags ObjectListModel::flags(const QModelIndex &index) const {
    if (!isCell(*this, index))
        return Qt::NoItemFlags;
    if (index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QVariant ObjectListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns)
        return section == 0 ? QStringLiteral("Object Type") : QStringLiteral("Object Name");
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace marlix
