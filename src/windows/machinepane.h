// The whole paused machine, shown as a pane of the break window: the working
// register, every stack in full, the input list and the commands executed,
// with what changed since the previous pause highlighted.
#pragma once

#include "run/machinemark.h"

#include <QWidget>

#include <cstdint>
#include <vector>

namespace corvane {
class TInputList;
class TProgram;
} // namespace corvane

class QLabel;
class QListView;
class QTableView;
class TInputModel;
class TStackTable;

class TMachinePane : public QWidget {
    Q_OBJECT
public:
    explicit TMachinePane(QWidget* parent = nullptr);

    // Takes in the machine at a pause. Only a pause later in the same run
    // than the last one noted compares with it: a new run, or the same pause
    // shown again, highlights nothing new. Costs O(stacks) plus what the
    // views draw; the values themselves are read as rows become visible.
    void Note(const corvane::TProgram& program, const corvane::TInputList* input, uint64_t outputs);
    // A new run begins: its first pause compares with nothing.
    void Forget() { marks_.Forget(); }

    QTableView* oStacks = nullptr;
    QListView* oInput = nullptr;
    QLabel* oWR = nullptr;
    QLabel* oSteps = nullptr;
    QLabel* oOutputs = nullptr;
    QLabel* oChanges = nullptr; // the last step's changes, in words

    // Texts as the pane shows them, and whether each is highlighted.
    static QString WRText(uint32_t value);
    bool WRChanged() const { return wrChanged_; }
    bool OutputsChanged() const { return outputsChanged_; }

    // The pane's width: the designed one, grown with its font.
    int DesignedWidth() const;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Highlight(QLabel* label, bool on);
    void FitTables();

    TStackTable* stacks_ = nullptr;
    TInputModel* input_ = nullptr;
    corvane::TPauseMarks marks_;
    bool wrChanged_ = false;
    bool outputsChanged_ = false;
};
