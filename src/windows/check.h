// The Check window: the cases of a test suite run against the editor's
// program, with a pass or fail mark, the points and a summary, and what the
// selected case put in and got out. One instance, kept by the editor.
#pragma once

#include "suite/caserun.h"
#include "suite/suite.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TCheckWorker;

class TfCheck : public QDialog {
    Q_OBJECT
public:
    // The list's columns.
    enum { ColMark, ColName, ColPoints };

    explicit TfCheck(QWidget* parent = nullptr);
    ~TfCheck() override;

    QTreeWidget* oCases = nullptr;
    QLabel* oSummary = nullptr;
    QPlainTextEdit* oDetails = nullptr;
    QPushButton* oTrace = nullptr;
    QPushButton* oStop = nullptr;
    QPushButton* oClose = nullptr;

    // Called with a failing case's input when the user asks to trace it.
    std::function<void(const QString& input)> TraceRequested;

    // Runs the suite's cases against the program text (as the core parses
    // it) on a thread of its own, after cancelling any check still going.
    void Start(const QString& caption, corvane::suite::TSuite suite, std::string machineText);
    bool Running() const { return worker_ != nullptr; }
    // Ends the check: the case at hand and those after it stay unrun.
    void Stop();
    // Traces the selected case, when it failed and is not hidden.
    void TraceSelected();

public Q_SLOTS:
    void reject() override; // Esc, Close and the close box: the check ends too

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CaseDone(uint64_t generation, std::size_t index, const corvane::suite::TCaseResult& r);
    void AllDone(uint64_t generation);
    void ShowMark(std::size_t index);
    void ShowDetails();
    void ShowSummary();
    void EndWorker();
    bool Traceable(int row) const;

    corvane::suite::TSuite suite_;
    std::vector<std::optional<corvane::suite::TCaseResult>> results_;
    std::unique_ptr<TCheckWorker> worker_;
    // Results posted by a worker that has since been ended are dropped.
    uint64_t generation_ = 0;
};
