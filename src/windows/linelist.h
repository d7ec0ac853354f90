// The break window's list: the program's lines, each with a check mark.
#pragma once

#include "run/stoplines.h"

#include <QAbstractListModel>
#include <QStringList>

// One row per line, checkable. The check marks are the bits of a corvane::TStopLines
// (owned by the window), so a mark set with the mouse or the space bar is
// the stop test's answer at once. Rows come in one reset, never one at a
// time: a program of 200,000 lines is listed in linear time.
class TLineModel : public QAbstractListModel {
public:
    TLineModel(corvane::TStopLines& marks, QObject* parent)
        : QAbstractListModel(parent), marks_(marks) {}

    // Replaces every row; all marks cleared.
    void SetLines(QStringList lines);
    // Sets or clears one row's mark; rows outside the list are ignored.
    void SetMark(int row, bool mark);

    const QString& Line(int row) const { return lines_[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    corvane::TStopLines& marks_;
    QStringList lines_;
};
