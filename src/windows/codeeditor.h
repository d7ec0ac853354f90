// The program editor: a plain-text editor with a gutter of line numbers,
// breakpoint dots, the live error's mark and the paused line's arrow; syntax
// colours; and the live check of the text.
#pragma once

#include "core/host.h"

#include <QPlainTextEdit>
#include <QString>

class QTimer;
class TLiveCheck;
class TSyntaxHighlighter;

class TCodeEditor final : public QPlainTextEdit {
    Q_OBJECT
public:
    // How long the text must stay unchanged before it is checked.
    static constexpr int CheckDelayMs = 300;

    explicit TCodeEditor(QWidget* parent = nullptr);
    ~TCodeEditor() override;

    QWidget* Gutter() const { return gutter_; }
    int GutterWidth() const;
    TSyntaxHighlighter* Highlighter() const { return highlighter_; }

    // The first error of the last check; Message sStringCount when none.
    // Pos is a CR LF position (the run's ErrorPos - 1), Line counts from 1.
    struct TLiveError {
        QString Message;
        int Pos = -1;
        int Line = 0;
        bool Valid() const { return Line > 0; }
    };
    const TLiveError& LiveError() const { return error_; }
    // Document positions [start, end) of the underlined word; empty when none.
    std::pair<int, int> UnderlineSpan() const;
    // A check is waiting for the pause in typing or under way.
    bool CheckPending() const;
    // Starts the check at once.
    void CheckNow();
    // The tooltip over a 1-based line: the live error's message and its
    // explanation, as rich text; empty on other lines.
    QString ErrorToolTip(int line) const;
    // The live error's message while the caret is on its line, else empty.
    QString CaretError() const;

    // Toggles the "<BREAK>" marker of a 0-based line as one undoable edit.
    void ToggleBreakpoint(int lineIndex);
    void ToggleCaretBreakpoint();

    // The 1-based line about to run while a run is paused; 0 for none.
    void ShowPausedLine(int line);
    int PausedLine() const { return pausedLine_; }

    // Where a 0-based line stands in the viewport (and the gutter).
    QRectF LineRect(int index) const;

    void PaintGutter(QPaintEvent* event);
    void GutterPressed(const QPoint& pos);
    bool GutterToolTip(const QPoint& pos, const QPoint& globalPos);

Q_SIGNALS:
    // The text CaretError() answers changed.
    void CaretErrorChanged(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void UpdateGutterWidth();
    void UpdateGutter(const QRect& rect, int dy);
    void TextChanged(int from, int removed, int added);
    void Checked(const corvane::TError& error);
    void UpdateSelections();
    void UpdateCaretError();
    int LineAtY(int y) const;

    QWidget* gutter_ = nullptr;
    TSyntaxHighlighter* highlighter_ = nullptr;
    TLiveCheck* check_ = nullptr;
    QTimer* checkTimer_ = nullptr;
    TLiveError error_;
    QString caretError_;
    int pausedLine_ = 0;
};
