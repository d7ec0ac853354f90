// Models of the machine pane: every stack as a column, the input list.
#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QColor>

#include <cstdint>
#include <vector>

namespace corvane {
class TInputList;
class TProgram;
} // namespace corvane

// Column c is the program's stack c in list order (newest first, the primary
// stack last); row r is the value r places below its top. Values are read from
// the program when asked for, so a deep stack costs nothing until shown; the
// program must outlive the model's next Reset and must not change in between.
class TStackTable : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // `changed[c]`: stack c grew or shrank since the last pause; its top cell
    // is highlighted.
    void Reset(const corvane::TProgram* program, std::vector<bool> changed);
    void SetColours(QColor highlight, QColor highlightedText);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const corvane::TProgram* program_ = nullptr;
    std::vector<bool> changed_;
    int rows_ = 0;
    QColor highlight_;
    QColor highlightedText_;
};

// The input values in order: those already read greyed, the next one marked
// (and highlighted when the last step moved the input position).
class TInputModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(std::vector<uint32_t> values, std::size_t position, bool moved);
    void SetColours(QColor read, QColor highlight, QColor highlightedText);
    std::size_t Position() const { return position_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<uint32_t> values_;
    std::size_t position_ = 0;
    bool moved_ = false;
    QColor read_;
    QColor highlight_;
    QColor highlightedText_;
};
