#include "windows/outputview.h"

#include <QFontMetricsF>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <charconv>

TOutputView::TOutputView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    changeEvent(nullptr);
}

void TOutputView::Clear() {
    text_.clear();
    shown_ = 0;
    lineWidth_ = 0;
    clear();
}

void TOutputView::Append(uint32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int32_t>(value)).ptr;
    *end = ' ';
    text_.append(QLatin1StringView(digits, end - digits + 1));
}

qreal TOutputView::WordWidth(QStringView word) const {
    qreal width = 0;
    for (const QChar c : word)
        width += c.unicode() < 128 ? charWidth_[c.unicode()] : charWidth_[u'0'];
    return width;
}

// Slightly less than the document's own line width, so that a line never
// reaches under the scroll bar through rounding.
qreal TOutputView::AvailableWidth() const {
    return viewport()->width() - 2 * document()->documentMargin() - 4;
}

void TOutputView::Flush() {
    if (!Pending()) return;
    const qreal avail = AvailableWidth();
    wrapWidth_ = avail;
    QString piece;
    piece.reserve(text_.size() - shown_ + (text_.size() - shown_) / 16);
    qsizetype i = shown_;
    while (i < text_.size()) {
        qsizetype blank = text_.indexOf(u' ', i);
        if (blank < 0) blank = text_.size() - 1;
        const QStringView word = QStringView(text_).mid(i, blank - i);
        const qreal width = WordWidth(word);
        // A word goes on the current line if it fits without its blank.
        if (lineWidth_ > 0 && lineWidth_ + width > avail) {
            piece += u'\n';
            lineWidth_ = 0;
        }
        piece += QStringView(text_).mid(i, blank + 1 - i);
        lineWidth_ += width + charWidth_[u' '];
        i = blank + 1;
    }
    shown_ = text_.size();

    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
    if (atEnd) bar->setValue(bar->maximum());
}

void TOutputView::Rewrap() {
    const QString all = text_;
    Clear();
    text_ = all;
    Flush();
}

QMimeData* TOutputView::createMimeDataFromSelection() const {
    QString selected = textCursor().selectedText();
    selected.remove(QChar::ParagraphSeparator);
    auto* mime = new QMimeData;
    mime->setText(selected);
    return mime;
}

void TOutputView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (AvailableWidth() != wrapWidth_ && !text_.isEmpty()) Rewrap();
}

void TOutputView::changeEvent(QEvent* event) {
    if (event) QPlainTextEdit::changeEvent(event);
    if (event && event->type() != QEvent::FontChange) return;
    const QFontMetricsF metrics(font());
    for (int c = 0; c < 128; ++c)
        charWidth_[c] = metrics.horizontalAdvance(QChar(c));
    if (event && !text_.isEmpty()) Rewrap();
}
