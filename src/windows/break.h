// The break window: the paused machine and the breakpoints.
#pragma once

#include "run/stoplines.h"

#include <QDialog>

#include <cstdint>

class QAction;
class QLabel;
class QListView;
class TLineModel;
class QMenuBar;
class QStatusBar;
class TMachinePane;

// Shown modally while a run is paused. Modal results: 1 Continue (F9, Esc, a
// click on its menu item), 4 Next (F8), 2 Stop (F5, the close box), 8 Back
// (F7, enabled once a command has been executed).
//
// Its check marks are the breakpoints: the list's model keeps them as the
// bits the executor's stop test reads, one per line.
//
// The window is shown at the system's default place the first time; later
// showings put it back where it was when it was last hidden, so a window the
// user moved aside stays there.
class TfBreak : public QDialog {
    Q_OBJECT
public:
    static constexpr int ResultContinue = 1;
    static constexpr int ResultStop = 2;
    static constexpr int ResultNext = 4;
    static constexpr int ResultBack = 8;

    explicit TfBreak(QWidget* parent = nullptr);

    QMenuBar* oMainMenu = nullptr;
    QAction* mContinue = nullptr;
    QListView* oCheckListBox = nullptr;
    QStatusBar* oStatusBar = nullptr;
    QAction* mStop = nullptr;
    QAction* mNext = nullptr;
    QAction* mContinueByEsc = nullptr;
    QAction* mBack = nullptr;
    // F2: opens or closes the machine pane beside the list. The window opens
    // at its designed size with the pane closed; the pane's state lasts while
    // the application runs, for every break window.
    QAction* mMachine = nullptr;
    TMachinePane* oMachine = nullptr;
    bool MachineOpen() const;
    void mMachineClick();

    // Caption, the editor's lines with tabs expanded, and a mark on every
    // line holding "<BREAK>" in any letter case; earlier marks are dropped.
    void PrepareRun();

    // The stop test for a 0-based line index: a marked line or the run
    // window's RunToLine (see corvane::TStopLines::IsStop).
    bool IsStopLine(int32_t index) const { return stops_.IsStop(index, *runToLine_); }
    // The marks, which a run's session reads as its stop lines.
    const corvane::TStopLines& StopLines() const { return stops_; }

    // Sets or clears the mark of one line; indices outside the editor's lines
    // are ignored.
    void SetStopLine(int index, bool mark);

    // Every tab replaced by blanks up to the next multiple of 16 columns.
    static QString ExpandTabs(const QString& text);

    QString PanelText(int panel) const;
    // Line `row` as listed (tabs expanded) and whether it carries a mark.
    QString ListedLine(int row) const;
    bool Marked(int row) const { return stops_.Marked(row); }

    void FormActivate();
    void mContinueClick() { done(ResultContinue); }
    void mNextClick() { done(ResultNext); }
    void mStopClick() { done(ResultStop); }
    void mBackClick() { done(ResultBack); }
    void oStatusBarDblClick();

    void setVisible(bool visible) override;

public Q_SLOTS:
    void done(int result) override;
    void reject() override; // the close box: Stop

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The most characters panel 2 can show: the summary is built no longer.
    int SummaryBound() const;

    void ShowMachine(bool open);
    void RefitMachine();
    int ListWidth() const;
    int PaneWidth(int list) const;
    void FitWidth(int list);
    void SetAccessibility();

    QLabel* panels_[3] = {};
    corvane::TStopLines stops_;
    const int32_t* runToLine_; // the run window's RunToLine
    TLineModel* lines_ = nullptr;
    QPoint place_;
    bool placed_ = false;
};
