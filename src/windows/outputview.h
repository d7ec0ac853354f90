// The run window's output: one blank-separated row of numbers, wrapped.
#pragma once

#include "run/session.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QPoint>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The output is one paragraph of up to tens of millions of characters. A text
// document would hold it twice (text and layout) and lay all of it out again
// whenever the width changes. This view keeps the characters alone, one byte
// each (values and blanks are ASCII), and wraps only the screen lines it
// shows: the first screen line starts at a position kept as the anchor, and
// the lines below it are wrapped forward from there; the lines above it are
// found when the user scrolls up (see PreviousLine). A resize or a new font therefore costs
// the visible lines only. The scroll bar counts characters.
//
// The screen lines are layout only: Text(), the selection and copying give
// the output without line breaks.
//
// Append() is cheap and shows nothing; Flush() shows what was appended since.
class TOutputView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TOutputView(QWidget* parent = nullptr);

    void Clear();
    void Append(uint32_t value); // signed decimal and one blank
    void Flush();
    bool Pending() const { return shown_ < text_.size(); }

    QString Text() const;
    std::size_t Size() const { return text_.size(); }
    uint64_t Values() const { return values_; }

    // The output a run may print, in characters. An endless printing loop is
    // stopped at this bound instead of eating all memory.
    static constexpr std::size_t DefaultCapacity = corvane::DefaultOutputCapacity;
    void SetCapacity(std::size_t characters) { capacity_ = characters; }
    std::size_t Capacity() const { return capacity_; }

    void selectAll();
    void copy() const;
    QString SelectedText() const;

    // The screen lines now shown, each with its trailing blank.
    QStringList VisibleLines() const;
    // Characters measured for wrapping since the last reset: what a relayout cost.
    std::size_t MeasuredCharacters() const { return measured_; }
    void ResetMeasuredCharacters() { measured_ = 0; }
    // Scrolls by whole screen lines (negative: up).
    void ScrollLines(int count);
    bool AtEnd() const;

    // What assistive tools read: the shown characters, without a copy.
    std::string_view Shown() const { return {text_.data(), shown_}; }
    std::size_t SelectionStart() const { return std::min(anchor_, caret_); }
    std::size_t SelectionEnd() const { return std::max(anchor_, caret_); }
    std::size_t Caret() const { return caret_; }
    // Selects [anchor, caret) or (caret, anchor]; positions beyond the shown
    // output are taken as its end.
    void Select(std::size_t anchor, std::size_t caret);
    // The screen line holding a position, wrapped as the view would show it
    // when scrolled there: [start, end), end after the line's last blank.
    std::pair<std::size_t, std::size_t> ScreenLineAt(std::size_t position) const;
    // A character's cell in viewport coordinates; empty when not on screen.
    QRect CharacterRect(std::size_t position) const;
    // The character boundary nearest to a point of the viewport.
    std::size_t PositionAt(const QPoint& point) const { return HitTest(point); }
    // Scrolls so that the screen line holding the position is in sight.
    void ShowPosition(std::size_t position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    qreal Width(std::size_t from, std::size_t to) const;
    qreal WordWidth(std::size_t from, std::size_t to) const;
    qreal AvailableWidth() const;
    int LinesOnScreen() const;
    std::size_t WordEnd(std::size_t from) const;
    std::size_t NextLine(std::size_t start) const;
    std::size_t PreviousLine(std::size_t start) const;
    std::size_t BackwardLine(std::size_t start) const;
    std::size_t EndTop() const;
    void SetTop(std::size_t top);
    void Relayout();
    void OnScrollAction(int action);
    std::size_t HitTest(const QPoint& point) const;
    void ExportSelection() const;
    // After every change of the selection or caret: the X selection, the
    // screen, and assistive tools.
    void SelectionChanged();
    // Tells assistive tools about characters shown or dropped.
    void NotifyText(std::size_t from, std::size_t to, bool inserted) const;

    std::string text_;               // the whole output
    std::size_t shown_ = 0;          // characters of text_ the user can see
    uint64_t values_ = 0;            // values in text_
    std::size_t top_ = 0;            // start of the first screen line
    bool followEnd_ = true;          // the view keeps the newest output in sight
    std::vector<std::size_t> lines_; // starts of the screen lines, then their end
    std::size_t anchor_ = 0;         // selection: where it began
    std::size_t caret_ = 0;          // selection: where it ends now
    QElapsedTimer doubleClicked_;    // since the last double click, for a triple one
    QPoint doubleClickedAt_;         // where that double click was
    bool lineClicked_ = false;       // the press was a triple click's: drags leave the line
    qreal charWidth_[128] = {};
    int lineHeight_ = 1;
    int ascent_ = 0;
    std::size_t capacity_ = DefaultCapacity;
    mutable std::size_t measured_ = 0;
};
