#include "ui/SequenceGridModel.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>

namespace kadenzo {

SequenceGridModel::SequenceGridModel(SequenceTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int SequenceGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.stepCount();
}

int SequenceGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SequenceGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const CellPos cell = cellOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shown(table_.cell(cell.col, cell.row));
    case Qt::BackgroundRole:
        // The step number column is fixed: drawn like the header.
        if (cell.col == StepColumn)
            return QApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole:
        // Fixed cells are not selectable, which would otherwise grey their text.
        if (cell.col == StepColumn)
            return QApplication::palette().brush(QPalette::Active, QPalette::ButtonText);
        return {};
    default:
        return {};
    }
}

QVariant SequenceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return shown(table_.cell(section, 0));
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags SequenceGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.column() == StepColumn)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QModelIndex SequenceGridModel::indexOf(CellPos cell) const {
    if (cell.row < 1)
        return {};
    return index(cell.row - 1, cell.col);
}

void SequenceGridModel::tableAboutToChange(const TableChange& change) {
    switch (change.kind) {
    case TableChange::Kind::RowsInserted:
        beginInsertRows({}, change.firstRow - 1, change.firstRow - 1 + change.count - 1);
        break;
    case TableChange::Kind::RowsRemoved:
        beginRemoveRows({}, change.firstRow - 1, change.firstRow - 1 + change.count - 1);
        break;
    case TableChange::Kind::Reset:
        beginResetModel();
        break;
    case TableChange::Kind::Cells:
        break;
    }
}

void SequenceGridModel::tableChanged(const TableChange& change) {
    switch (change.kind) {
    case TableChange::Kind::RowsInserted:
        endInsertRows();
        break;
    case TableChange::Kind::RowsRemoved:
        endRemoveRows();
        break;
    case TableChange::Kind::Reset:
        endResetModel();
        break;
    case TableChange::Kind::Cells: {
        if (change.count <= 0)
            break;
        if (change.firstRow == 0) {
            emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
            break;
        }
        const int first = change.firstRow - 1;
        const int last = first + change.count - 1;
        const int left = change.column < 0 ? 0 : change.column;
        const int right = change.column < 0 ? kColumnCount - 1 : change.column;
        emit dataChanged(index(first, left), index(last, right), {Qt::DisplayRole, Qt::EditRole});
        break;
    }
    }
}

QString SequenceGridModel::shown(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::string> SequenceGridModel::bytesOf(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        if (ch.unicode() > 0xFF)
            return std::nullopt;
        out += static_cast<char>(ch.unicode());
    }
    return out;
}

} // namespace kadenzo
