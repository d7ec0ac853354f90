#include "windows/machinemodels.h"

#include "core/program.h"
#include "windows/stacksummary.h"

#include <QFont>

#include <algorithm>
#include <climits>

void TStackTable::Reset(const corvane::TProgram* program, std::vector<bool> changed) {
    beginResetModel();
    program_ = program;
    changed_ = std::move(changed);
    std::size_t deepest = 0;
    const int32_t count = program ? program->StackCount() : 0;
    for (int32_t c = 0; c < count; ++c)
        deepest = std::max(deepest, program->StackAt(c)->Values.size());
    rows_ = static_cast<int>(std::min<std::size_t>(deepest, INT_MAX));
    changed_.resize(static_cast<std::size_t>(count), false);
    endResetModel();
}

void TStackTable::SetColours(QColor highlight, QColor highlightedText) {
    highlight_ = highlight;
    highlightedText_ = highlightedText;
    if (rows_ > 0) Q_EMIT dataChanged(index(0, 0), index(0, columnCount() - 1));
}

int TStackTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TStackTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !program_ ? 0 : program_->StackCount();
}

QVariant TStackTable::data(const QModelIndex& index, int role) const {
    if (!program_ || !index.isValid() || index.column() >= program_->StackCount()) return {};
    const auto& values = program_->StackAt(index.column())->Values; // bottom first
    const auto row = static_cast<std::size_t>(index.row());
    const bool top = index.row() == 0 && changed_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        if (row < values.size()) return SignedText(values[values.size() - 1 - row]);
        return {};
    case Qt::BackgroundRole:
        if (top) return highlight_;
        return {};
    case Qt::ForegroundRole:
        if (top) return highlightedText_;
        return {};
    default: return {};
    }
}

QVariant TStackTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (!program_ || section < 0 || section >= program_->StackCount()) return {};
    const corvane::TStackRec& stack = *program_->StackAt(section);
    const QString name =
        stack.Name.empty() ? QStringLiteral("Primary Stack") : QString::fromLatin1(stack.Name);
    return stack.Empty() ? name + QStringLiteral("\nEMPTY") : name;
}

void TInputModel::Reset(std::vector<uint32_t> values, std::size_t position, bool moved) {
    beginResetModel();
    values_ = std::move(values);
    position_ = position;
    moved_ = moved;
    endResetModel();
}

void TInputModel::SetColours(QColor read, QColor highlight, QColor highlightedText) {
    read_ = read;
    highlight_ = highlight;
    highlightedText_ = highlightedText;
    if (!values_.empty()) Q_EMIT dataChanged(index(0), index(rowCount() - 1));
}

int TInputModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(values_.size(), INT_MAX));
}

QVariant TInputModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= values_.size()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const bool next = row == position_;
    switch (role) {
    case Qt::DisplayRole:
        return (next ? QStringLiteral("> ") : QStringLiteral("  ")) + SignedText(values_[row]);
    case Qt::FontRole:
        if (next) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        if (row < position_) return read_;
        if (next && moved_) return highlightedText_;
        return {};
    case Qt::BackgroundRole:
        if (next && moved_) return highlight_;
        return {};
    default: return {};
    }
}
