// The break window: the paused machine and the breakpoints.
#pragma once

#include "gui/stoplines.h"

#include <QDialog>

#include <cstdint>

class QAction;
class QLabel;
class QListWidget;
class QMenuBar;
class QStatusBar;

// Shown modally while a run is paused. Modal results: 1 Continue (F9, Esc, a
// click on its menu item), 4 Next (F8), 2 Stop (F5, the close box).
//
// Its check marks are the breakpoints. The executor's stop test reads a copy
// of them, one bit per line, taken at PrepareRun and whenever a pause ends;
// SetStopLine changes mark and bit together.
class TfBreak : public QDialog {
    Q_OBJECT
public:
    static constexpr int ResultContinue = 1;
    static constexpr int ResultStop = 2;
    static constexpr int ResultNext = 4;

    explicit TfBreak(QWidget* parent = nullptr);

    QMenuBar* oMainMenu = nullptr;
    QAction* mContinue = nullptr;
    QListWidget* oCheckListBox = nullptr;
    QStatusBar* oStatusBar = nullptr;
    QAction* mStop = nullptr;
    QAction* mNext = nullptr;
    QAction* mContinueByEsc = nullptr;

    // Caption, the editor's lines with tabs expanded, and a mark on every
    // line holding "<BREAK>" in any letter case; earlier marks are dropped.
    void PrepareRun();

    // The stop test for a 0-based line index (see TStopLines::IsStop).
    bool IsStopLine(int32_t index) const { return stops_.IsStop(index, RunToLine()); }
    const TStopLines& StopLines() const { return stops_; }

    // Sets or clears the mark of one line; indices outside the editor's lines
    // are ignored.
    void SetStopLine(int index, bool mark);

    // Every tab replaced by blanks up to the next multiple of 16 columns.
    static QString ExpandTabs(const QString& text);

    QString PanelText(int panel) const;

    void FormActivate();
    void mContinueClick() { done(ResultContinue); }
    void mNextClick() { done(ResultNext); }
    void mStopClick() { done(ResultStop); }
    void oStatusBarDblClick();

public Q_SLOTS:
    void done(int result) override;
    void reject() override; // the close box: Stop

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int32_t RunToLine();
    void TakeMarks();

    QLabel* panels_[3] = {};
    TStopLines stops_;
};
