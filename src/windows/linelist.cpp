#include "windows/linelist.h"

void TLineModel::SetLines(QStringList lines) {
    beginResetModel();
    lines_ = std::move(lines);
    marks_.Reset(static_cast<int>(lines_.size()));
    endResetModel();
}

void TLineModel::SetMark(int row, bool mark) {
    if (row < 0 || row >= lines_.size()) return;
    marks_.Set(row, mark);
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, {Qt::CheckStateRole});
}

int TLineModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant TLineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lines_.size()) return {};
    switch (role) {
    case Qt::DisplayRole: return lines_[index.row()];
    case Qt::CheckStateRole: return marks_.Marked(index.row()) ? Qt::Checked : Qt::Unchecked;
    default: return {};
    }
}

bool TLineModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid()) return false;
    SetMark(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags TLineModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}
