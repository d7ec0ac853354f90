#include "windows/codeeditor.h"

#include "core/appstrings.h"
#include "gui/colours.h"
#include "gui/crlfpos.h"
#include "gui/explanations.h"
#include "windows/breakmarker.h"
#include "windows/livecheck.h"
#include "windows/syntax.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

namespace {

// Dots, marks and arrows on the left, the line numbers on the right.
class TGutter final : public QWidget {
public:
    explicit TGutter(TCodeEditor* editor) : QWidget(editor), editor_(editor) {
        setObjectName(QStringLiteral("oGutter"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->PaintGutter(event); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) editor_->GutterPressed(event->position().toPoint());
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            if (!editor_->GutterToolTip(help->pos(), help->globalPos())) QToolTip::hideText();
            return true;
        }
        return QWidget::event(event);
    }

private:
    TCodeEditor* editor_;
};

bool IsWordChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '-';
}

constexpr int kGutterPad = 4;

} // namespace

TCodeEditor::TCodeEditor(QWidget* parent) : QPlainTextEdit(parent) {
    gutter_ = new TGutter(this);
    highlighter_ = new TSyntaxHighlighter(document());
    highlighter_->SetPalette(palette());
    check_ = new TLiveCheck(this);
    checkTimer_ = new QTimer(this);
    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(CheckDelayMs);
    connect(checkTimer_, &QTimer::timeout, this, &TCodeEditor::CheckNow);
    connect(check_, &TLiveCheck::Checked, this, &TCodeEditor::Checked);
    connect(document(), &QTextDocument::contentsChange, this, &TCodeEditor::TextChanged);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TCodeEditor::UpdateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &TCodeEditor::UpdateGutter);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TCodeEditor::UpdateCaretError);
    UpdateGutterWidth();
}

TCodeEditor::~TCodeEditor() = default;

// --- the gutter ----------------------------------------------------------------

int TCodeEditor::GutterWidth() const {
    const QFontMetrics metrics(font());
    const int digits = int(QString::number(std::max(1, blockCount())).size());
    return metrics.height() + metrics.horizontalAdvance(u'9') * std::max(2, digits) +
           2 * kGutterPad;
}

void TCodeEditor::UpdateGutterWidth() {
    const int width = GutterWidth();
    setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), width, area.height());
    gutter_->setFont(font());
}

void TCodeEditor::UpdateGutter(const QRect& rect, int dy) {
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void TCodeEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    UpdateGutterWidth();
}

void TCodeEditor::PaintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    const QPalette& pal = palette();
    painter.fillRect(event->rect(), pal.color(QPalette::Window));
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int mark = metrics.height();
    const int numbersLeft = mark + kGutterPad;
    const int numbersWidth = gutter_->width() - numbersLeft - kGutterPad;
    const QColor text = pal.color(QPalette::WindowText);
    const QColor number = SubduedText(pal, QPalette::Window);
    const QColor error = ErrorColour(pal);
    const QColor errorLine = ErrorLineBand(pal);
    painter.setRenderHint(QPainter::Antialiasing);

    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            const QRectF row(0, top, gutter_->width(), metrics.height());
            const QRectF markBox(kGutterPad / 2.0, top, mark, mark);
            if (error_.Valid() && line == error_.Line)
                painter.fillRect(QRectF(numbersLeft - 2, top, numbersWidth + 4, mark), errorLine);
            if (HasBreakMarker(block.text())) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(error);
                painter.drawEllipse(markBox.center(), mark * 0.32, mark * 0.32);
            }
            if (line == pausedLine_) {
                QPainterPath arrow;
                const QRectF a =
                    markBox.adjusted(mark * 0.15, mark * 0.2, -mark * 0.1, -mark * 0.2);
                arrow.moveTo(a.left(), a.top() + a.height() * 0.3);
                arrow.lineTo(a.center().x(), a.top() + a.height() * 0.3);
                arrow.lineTo(a.center().x(), a.top());
                arrow.lineTo(a.right(), a.center().y());
                arrow.lineTo(a.center().x(), a.bottom());
                arrow.lineTo(a.center().x(), a.top() + a.height() * 0.7);
                arrow.lineTo(a.left(), a.top() + a.height() * 0.7);
                arrow.closeSubpath();
                painter.setPen(QPen(text, 1));
                painter.setBrush(pal.color(QPalette::Highlight));
                painter.drawPath(arrow);
            }
            painter.setPen(error_.Valid() && line == error_.Line ? ErrorLineText(pal) : number);
            painter.drawText(QRectF(numbersLeft, row.top(), numbersWidth, row.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(line));
        }
        block = block.next();
        top += height;
    }
}

QRectF TCodeEditor::LineRect(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    return block.isValid() ? blockBoundingGeometry(block).translated(contentOffset()) : QRectF();
}

int TCodeEditor::LineAtY(int y) const {
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid()) {
        const qreal bottom = top + blockBoundingRect(block).height();
        if (y >= top && y < bottom) return block.blockNumber();
        top = bottom;
        block = block.next();
    }
    return -1;
}

void TCodeEditor::GutterPressed(const QPoint& pos) {
    const int index = LineAtY(pos.y());
    if (index >= 0) ToggleBreakpoint(index);
}

bool TCodeEditor::GutterToolTip(const QPoint& pos, const QPoint& globalPos) {
    const QString tip = ErrorToolTip(LineAtY(pos.y()) + 1);
    if (tip.isEmpty()) return false;
    QToolTip::showText(globalPos, tip, gutter_);
    return true;
}

// --- colours -------------------------------------------------------------------

void TCodeEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange) {
        highlighter_->SetPalette(palette());
        UpdateSelections();
    } else if (event->type() == QEvent::FontChange) {
        UpdateGutterWidth();
    }
}

// --- the live check --------------------------------------------------------------

// Formatting alone (the highlighter's work) adds and removes nothing.
void TCodeEditor::TextChanged(int /*from*/, int removed, int added) {
    if (removed == 0 && added == 0) return;
    check_->Forget();
    checkTimer_->start();
}

bool TCodeEditor::CheckPending() const {
    return checkTimer_->isActive() || check_->Busy();
}

// The copy is the document's raw text; its line breaks become CR LF on the
// worker, so the GUI thread pays for one copy of the text.
void TCodeEditor::CheckNow() {
    checkTimer_->stop();
    check_->Check(document()->toRawText());
}

void TCodeEditor::Checked(const corvane::TError& error) {
    TLiveError found;
    if (error.Message != corvane::sStringCount) {
        found.Message = QString::fromUtf8(corvane::Str(error.Message));
        found.Pos = error.Pos;
        if (error.Pos >= 0)
            found.Line = document()->findBlock(CrlfToDoc(*document(), error.Pos)).blockNumber() + 1;
        else
            found.Line = std::max(1, int(error.Line));
    }
    error_ = found;
    UpdateSelections();
    UpdateCaretError();
    gutter_->update();
}

std::pair<int, int> TCodeEditor::UnderlineSpan() const {
    for (const QTextEdit::ExtraSelection& s : extraSelections())
        if (s.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            return {s.cursor.selectionStart(), s.cursor.selectionEnd()};
    return {0, 0};
}

void TCodeEditor::UpdateSelections() {
    QList<QTextEdit::ExtraSelection> selections;
    if (pausedLine_ > 0) {
        QTextEdit::ExtraSelection band;
        band.cursor = QTextCursor(document()->findBlockByNumber(pausedLine_ - 1));
        band.format.setBackground(PausedLineBand(palette()));
        band.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections << band;
    }
    if (error_.Valid() && error_.Pos >= 0) {
        const QTextDocument& doc = *document();
        const int at = CrlfToDoc(doc, error_.Pos);
        const QTextBlock block = doc.findBlock(at);
        const QString text = block.text();
        int start = at - block.position();
        int end = start;
        while (end < text.size() && IsWordChar(text[end]))
            ++end;
        if (end == start && start < text.size()) ++end; // a character that is no word
        if (end == start && start > 0) --start;         // the end of a line
        if (end > start) {
            QTextEdit::ExtraSelection underline;
            underline.cursor = QTextCursor(block);
            underline.cursor.setPosition(block.position() + start);
            underline.cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
            underline.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            underline.format.setUnderlineColor(ErrorColour(palette()));
            selections << underline;
        }
    }
    setExtraSelections(selections);
}

QString TCodeEditor::ErrorToolTip(int line) const {
    if (!error_.Valid() || line != error_.Line) return {};
    // The message on one line; the explanation wraps under it.
    QString tip = QStringLiteral("<qt><p style=\"white-space:pre\"><b>") +
                  error_.Message.toHtmlEscaped() + QStringLiteral("</b></p>");
    // Paragraphs are separated by blank lines, or by line breaks when the
    // text has no blank line.
    const QString explanation = MessageExplanation(error_.Message);
    const QRegularExpression breaks(explanation.contains(QStringLiteral("\n\n"))
                                        ? QStringLiteral("\n[ \t]*\n")
                                        : QStringLiteral("\n"));
    const QStringList paragraphs = explanation.split(breaks, Qt::SkipEmptyParts);
    for (const QString& paragraph : paragraphs)
        tip += QStringLiteral("<p>") + paragraph.trimmed().toHtmlEscaped() + QStringLiteral("</p>");
    return tip + QStringLiteral("</qt>");
}

bool TCodeEditor::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = ErrorToolTip(cursorForPosition(help->pos()).blockNumber() + 1);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

QString TCodeEditor::CaretError() const {
    return caretError_;
}

void TCodeEditor::UpdateCaretError() {
    const bool onLine = error_.Valid() && textCursor().blockNumber() + 1 == error_.Line;
    const QString message = onLine ? error_.Message : QString();
    if (message == caretError_) return;
    caretError_ = message;
    Q_EMIT CaretErrorChanged(message);
}

// --- breakpoints and the paused line ---------------------------------------------

void TCodeEditor::ToggleBreakpoint(int lineIndex) {
    const QTextBlock block = document()->findBlockByNumber(lineIndex);
    if (!block.isValid()) return;
    const TLineEdit edit = ToggleBreakEdit(block.text());
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + edit.Pos);
    cursor.setPosition(block.position() + edit.Pos + edit.Remove, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.insertText(edit.Insert);
    cursor.endEditBlock();
    gutter_->update();
}

void TCodeEditor::ToggleCaretBreakpoint() {
    ToggleBreakpoint(textCursor().blockNumber());
}

void TCodeEditor::ShowPausedLine(int line) {
    if (line > blockCount()) line = 0;
    pausedLine_ = std::max(0, line);
    UpdateSelections();
    gutter_->update();
    if (pausedLine_ == 0) return;
    const QRectF box = LineRect(pausedLine_ - 1);
    if (box.top() >= 0 && box.bottom() <= viewport()->height()) return;
    const int visible = std::max(1, viewport()->height() / std::max(1, fontMetrics().height()));
    verticalScrollBar()->setValue(std::max(0, pausedLine_ - 1 - visible / 2));
}
