#include "windows/outputview.h"

#include "windows/outputaccess.h"

#include "gui/colours.h"
#include <QAccessible>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <charconv>
#include <climits>

namespace {
constexpr int Margin = 4;

int ToBar(std::size_t position) {
    return static_cast<int>(std::min<std::size_t>(position, INT_MAX));
}

// Output is read, never typed: a shade of the window's colour rather than the
// base of an edit field. Set on the viewport, so that the view's own palette
// stays inherited and follows every change.
void ShadeViewport(QAbstractScrollArea& view) {
    const QPalette& colours = view.palette();
    // Darker than the window: a light window needs less of it to show.
    const int darker = IsDark(colours) ? 125 : 106;
    QPalette shade;
    shade.setColor(QPalette::Base, colours.color(QPalette::Window).darker(darker));
    view.viewport()->setPalette(shade);
}
} // namespace

TOutputView::TOutputView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TOutputView::OnScrollAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (static_cast<std::size_t>(value) != top_) SetTop(static_cast<std::size_t>(value));
    });
    changeEvent(nullptr);
    InstallOutputAccessible();
}

void TOutputView::Clear() {
    NotifyText(0, shown_, false);
    text_.clear();
    text_.shrink_to_fit();
    shown_ = 0;
    values_ = 0;
    top_ = 0;
    anchor_ = caret_ = 0;
    followEnd_ = true;
    Relayout();
}

void TOutputView::Append(uint32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int32_t>(value)).ptr;
    *end = ' ';
    text_.append(digits, static_cast<std::size_t>(end - digits + 1));
    ++values_;
}

QString TOutputView::Text() const {
    return QString::fromLatin1(text_.data(), static_cast<qsizetype>(text_.size()));
}

void TOutputView::Flush() {
    if (!Pending()) return;
    const std::size_t from = shown_;
    shown_ = text_.size();
    Relayout();
    NotifyText(from, shown_, true);
}

// A change's characters travel with its event. A flush of a fast run's many
// values would send megabytes over the bus: beyond the bound nothing is sent,
// and a tool reads what it wants when it wants it.
void TOutputView::NotifyText(std::size_t from, std::size_t to, bool inserted) const {
    constexpr std::size_t Bound = 4096;
    if (from >= to || to - from > Bound || !QAccessible::isActive()) return;
    const QString chars =
        QString::fromLatin1(text_.data() + from, static_cast<qsizetype>(to - from));
    auto* self = const_cast<TOutputView*>(this);
    if (inserted) {
        QAccessibleTextInsertEvent event(self, ToBar(from), chars);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextRemoveEvent event(self, ToBar(from), chars);
        QAccessible::updateAccessibility(&event);
    }
}

qreal TOutputView::WordWidth(std::size_t from, std::size_t to) const {
    measured_ += to - from;
    qreal width = 0;
    for (std::size_t i = from; i < to; ++i)
        width += charWidth_[static_cast<unsigned char>(text_[i]) & 0x7F];
    return width;
}

qreal TOutputView::Width(std::size_t from, std::size_t to) const {
    qreal width = 0;
    for (std::size_t i = from; i < to; ++i)
        width += charWidth_[static_cast<unsigned char>(text_[i]) & 0x7F];
    return width;
}

// A little less than the viewport, so that rounding never puts a digit under
// the scroll bar.
qreal TOutputView::AvailableWidth() const {
    return viewport()->width() - 2 * Margin - 4;
}

int TOutputView::LinesOnScreen() const {
    return std::max(1, viewport()->height() / lineHeight_);
}

// The blank that ends the word starting at `from` (every value ends in one).
std::size_t TOutputView::WordEnd(std::size_t from) const {
    const std::size_t blank = text_.find(' ', from);
    return blank == std::string::npos || blank >= shown_ ? shown_ : blank;
}

// Greedy wrap forward: the start of the screen line after the one at `start`.
// A line holds at least one word; a word joins it while the line's width
// without its trailing blank fits.
std::size_t TOutputView::NextLine(std::size_t start) const {
    const qreal avail = AvailableWidth();
    const qreal blank = charWidth_[u' '];
    qreal width = 0;
    std::size_t i = start;
    while (i < shown_) {
        const std::size_t end = WordEnd(i);
        const qreal word = WordWidth(i, end);
        if (i > start && width + word > avail) break;
        width += word + blank;
        i = end + 1;
    }
    return std::min(i, shown_);
}

// Greedy wrap backward: the start of the widest line that ends where the
// line at `start` begins. The same fit test as NextLine.
std::size_t TOutputView::BackwardLine(std::size_t start) const {
    const qreal avail = AvailableWidth();
    const qreal blank = charWidth_[u' '];
    qreal width = 0;
    std::size_t j = start;
    while (j > 0) {
        const std::size_t end = j - 1; // the blank that ends the word before j
        const std::size_t found = end == 0 ? std::string::npos : text_.rfind(' ', end - 1);
        const std::size_t from = found == std::string::npos ? 0 : found + 1;
        const qreal word = WordWidth(from, end);
        if (j < start && width + word > avail) break;
        width += word + blank;
        j = from;
    }
    return j;
}

// The screen line above the one at `start`. Greedy wraps begun at different
// words fall into step within a line or two, so wrapping forward from a few
// lines back finds the line whose NextLine is `start`: scrolling up and down
// again shows the same lines. Where the wraps do not meet, the line is
// wrapped backward instead.
std::size_t TOutputView::PreviousLine(std::size_t start) const {
    if (start == 0) return 0;
    const qreal narrowest = std::max<qreal>(1, charWidth_[u' ']);
    const auto perLine = static_cast<std::size_t>(AvailableWidth() / narrowest) + 12;
    std::size_t from = start > 6 * perLine ? start - 6 * perLine : 0;
    while (from > 0 && text_[from - 1] != ' ')
        --from;
    std::size_t previous = from;
    for (std::size_t line = from; line < start; line = NextLine(line))
        previous = line;
    return NextLine(previous) == start ? previous : BackwardLine(start);
}

// The top at which the last output line is the last screen line.
std::size_t TOutputView::EndTop() const {
    std::size_t top = shown_;
    const int lines = LinesOnScreen();
    for (int i = 0; i < lines && top > 0; ++i)
        top = PreviousLine(top);
    return top;
}

bool TOutputView::AtEnd() const {
    return followEnd_;
}

void TOutputView::SetTop(std::size_t top) {
    const std::size_t end = EndTop();
    if (top >= end) {
        top = end;
        followEnd_ = true;
    } else {
        // Snap to the start of a word: screen lines never split a value.
        while (top > 0 && text_[top - 1] != ' ')
            --top;
        followEnd_ = false;
    }
    top_ = top;
    lines_.assign(1, top_);
    const int lines = LinesOnScreen();
    for (int i = 0; i <= lines && lines_.back() < shown_; ++i)
        lines_.push_back(NextLine(lines_.back()));
    if (lines_.size() == 1) lines_.push_back(top_);

    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, ToBar(end));
    const std::size_t perLine = lines_.size() > 2 ? (lines_[1] - lines_[0]) : 1;
    bar->setSingleStep(std::max<int>(1, ToBar(perLine)));
    bar->setPageStep(std::max<int>(1, ToBar(perLine * static_cast<std::size_t>(lines))));
    bar->setValue(ToBar(top_));
    viewport()->update();
}

// Keeps the anchor (or the end, when following it) and wraps the screen anew.
void TOutputView::Relayout() {
    SetTop(followEnd_ ? shown_ : std::min(top_, shown_));
}

void TOutputView::ScrollLines(int count) {
    std::size_t top = top_;
    for (; count > 0 && top < shown_; --count)
        top = NextLine(top);
    for (; count < 0 && top > 0; ++count)
        top = PreviousLine(top);
    SetTop(top);
}

void TOutputView::OnScrollAction(int action) {
    QScrollBar* bar = verticalScrollBar();
    const int page = std::max(1, LinesOnScreen() - 1);
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: ScrollLines(1); break;
    case QAbstractSlider::SliderSingleStepSub: ScrollLines(-1); break;
    case QAbstractSlider::SliderPageStepAdd: ScrollLines(page); break;
    case QAbstractSlider::SliderPageStepSub: ScrollLines(-page); break;
    case QAbstractSlider::SliderToMinimum: SetTop(0); break;
    case QAbstractSlider::SliderToMaximum: SetTop(shown_); break;
    case QAbstractSlider::SliderMove:
        SetTop(static_cast<std::size_t>(bar->sliderPosition()));
        break;
    default: return;
    }
    bar->setSliderPosition(ToBar(top_));
}

void TOutputView::selectAll() {
    anchor_ = 0;
    caret_ = shown_;
    SelectionChanged();
}

void TOutputView::Select(std::size_t anchor, std::size_t caret) {
    anchor_ = std::min(anchor, shown_);
    caret_ = std::min(caret, shown_);
    SelectionChanged();
}

void TOutputView::SelectionChanged() {
    ExportSelection();
    viewport()->update();
    if (!QAccessible::isActive()) return;
    QAccessibleTextCursorEvent moved(this, ToBar(caret_));
    QAccessible::updateAccessibility(&moved);
    QAccessibleTextSelectionEvent selected(this, ToBar(SelectionStart()), ToBar(SelectionEnd()));
    QAccessible::updateAccessibility(&selected);
}

std::pair<std::size_t, std::size_t> TOutputView::ScreenLineAt(std::size_t position) const {
    if (shown_ == 0) return {0, 0};
    position = std::min(position, shown_ - 1);
    if (lines_.size() > 1 && lines_.front() <= position && position < lines_.back()) {
        const auto after = std::upper_bound(lines_.begin(), lines_.end(), position);
        return {*(after - 1), *after};
    }
    // Wraps begun a couple of lines back have fallen into step by here (see
    // PreviousLine).
    const qreal narrowest = std::max<qreal>(1, charWidth_[u' ']);
    const auto perLine = static_cast<std::size_t>(AvailableWidth() / narrowest) + 12;
    std::size_t line = position > 3 * perLine ? position - 3 * perLine : 0;
    while (line > 0 && text_[line - 1] != ' ')
        --line;
    for (;;) {
        const std::size_t next = NextLine(line);
        if (next > position || next >= shown_) return {line, next};
        line = next;
    }
}

QRect TOutputView::CharacterRect(std::size_t position) const {
    if (lines_.size() < 2) return {}; // never laid out
    const auto rows = std::min(lines_.size() - 1, static_cast<std::size_t>(LinesOnScreen()));
    for (std::size_t i = 0; i < rows; ++i) {
        if (position < lines_[i] || position >= lines_[i + 1]) continue;
        const qreal x = Margin + Width(lines_[i], position);
        const qreal w = charWidth_[static_cast<unsigned char>(text_[position]) & 0x7F];
        return QRectF(x, static_cast<qreal>(i) * lineHeight_, w, lineHeight_).toAlignedRect();
    }
    return {};
}

void TOutputView::ShowPosition(std::size_t position) {
    const std::size_t laid = lines_.empty() ? 0 : lines_.size() - 1;
    const auto rows = std::min(laid, static_cast<std::size_t>(LinesOnScreen()));
    if (rows > 0 && lines_[0] <= position && position < lines_[rows]) return;
    SetTop(ScreenLineAt(position).first);
}

QString TOutputView::SelectedText() const {
    const std::size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    return QString::fromLatin1(text_.data() + from, static_cast<qsizetype>(to - from));
}

void TOutputView::copy() const {
    if (anchor_ != caret_) QApplication::clipboard()->setText(SelectedText());
}

void TOutputView::ExportSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (anchor_ != caret_ && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

QStringList TOutputView::VisibleLines() const {
    QStringList lines;
    const int count = LinesOnScreen();
    for (std::size_t i = 0; i + 1 < lines_.size() && i < static_cast<std::size_t>(count); ++i)
        if (lines_[i] < lines_[i + 1])
            lines << QString::fromLatin1(text_.data() + lines_[i],
                                         static_cast<qsizetype>(lines_[i + 1] - lines_[i]));
    return lines;
}

void TOutputView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.setPen(pal.color(QPalette::Text));
    const std::size_t selFrom = std::min(anchor_, caret_), selTo = std::max(anchor_, caret_);
    for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
        const std::size_t from = lines_[i], to = lines_[i + 1];
        if (from >= to) break;
        const int y = static_cast<int>(i) * lineHeight_;
        const QString line =
            QString::fromLatin1(text_.data() + from, static_cast<qsizetype>(to - from));
        painter.drawText(Margin, y + ascent_, line);
        const std::size_t a = std::max(from, selFrom), b = std::min(to, selTo);
        if (a >= b) continue;
        const qreal x1 = Margin + Width(from, a), x2 = Margin + Width(from, b);
        const QRectF band(x1, y, x2 - x1, lineHeight_);
        painter.fillRect(band, pal.color(QPalette::Highlight));
        painter.save();
        painter.setClipRect(band);
        painter.setPen(pal.color(QPalette::HighlightedText));
        painter.drawText(Margin, y + ascent_, line);
        painter.restore();
    }
}

void TOutputView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void TOutputView::changeEvent(QEvent* event) {
    if (event) QAbstractScrollArea::changeEvent(event);
    if (!event || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange)
        ShadeViewport(*this);
    if (event && event->type() != QEvent::FontChange) return;
    const QFontMetricsF metrics(font());
    for (int c = 0; c < 128; ++c)
        charWidth_[c] = metrics.horizontalAdvance(QChar(c));
    lineHeight_ = std::max(1, static_cast<int>(metrics.lineSpacing() + 0.5));
    ascent_ = static_cast<int>(metrics.ascent() + 0.5);
    if (event) Relayout();
}

void TOutputView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        copy();
    } else if (event->key() == Qt::Key_Up) {
        ScrollLines(-1);
    } else if (event->key() == Qt::Key_Down) {
        ScrollLines(1);
    } else if (event->key() == Qt::Key_PageUp) {
        ScrollLines(-std::max(1, LinesOnScreen() - 1));
    } else if (event->key() == Qt::Key_PageDown) {
        ScrollLines(std::max(1, LinesOnScreen() - 1));
    } else if (event == QKeySequence::MoveToStartOfDocument) {
        SetTop(0);
    } else if (event == QKeySequence::MoveToEndOfDocument) {
        SetTop(shown_);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TOutputView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) return QAbstractScrollArea::wheelEvent(event);
    ScrollLines(-notches * QApplication::wheelScrollLines());
    event->accept();
}

// The character boundary nearest to the point, among the shown lines.
std::size_t TOutputView::HitTest(const QPoint& point) const {
    if (lines_.size() < 2) return top_;
    if (point.y() < 0) return lines_.front();
    const std::size_t row = static_cast<std::size_t>(point.y() / lineHeight_);
    if (row + 1 >= lines_.size()) return lines_.back();
    std::size_t i = lines_[row];
    const std::size_t end = lines_[row + 1];
    qreal x = Margin;
    while (i < end) {
        const qreal w = charWidth_[static_cast<unsigned char>(text_[i]) & 0x7F];
        if (point.x() < x + w / 2) break;
        x += w;
        ++i;
    }
    return i;
}

void TOutputView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    lineClicked_ = doubleClicked_.isValid() &&
                   doubleClicked_.elapsed() < QApplication::doubleClickInterval() &&
                   (point - doubleClickedAt_).manhattanLength() < QApplication::startDragDistance();
    doubleClicked_.invalidate();
    if (lineClicked_) {
        // The row under the pointer: a point past a line's end is still on it.
        const auto row = static_cast<std::size_t>(std::max(0, point.y()) / lineHeight_);
        if (row + 1 < lines_.size() && lines_[row] < lines_[row + 1]) {
            anchor_ = lines_[row];
            caret_ = lines_[row + 1];
            SelectionChanged();
        }
        return;
    }
    caret_ = HitTest(point);
    if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = caret_;
    SelectionChanged();
}

void TOutputView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || lineClicked_) return;
    const QPoint point = event->position().toPoint();
    if (point.y() < 0) ScrollLines(-1);
    if (point.y() >= viewport()->height()) ScrollLines(1);
    caret_ = HitTest(point);
    SelectionChanged();
}

void TOutputView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) event->accept();
}

// Selects the value under the pointer; a press soon after, at the same
// place, is a triple click.
void TOutputView::mouseDoubleClickEvent(QMouseEvent* event) {
    doubleClicked_.start();
    doubleClickedAt_ = event->position().toPoint();
    std::size_t at = HitTest(doubleClickedAt_);
    if (at >= shown_) return;
    while (at > 0 && text_[at - 1] != ' ')
        --at;
    anchor_ = at;
    caret_ = WordEnd(at);
    SelectionChanged();
}

void TOutputView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &TOutputView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(anchor_ != caret_);
    QAction* all = menu.addAction(tr("Select All"), this, &TOutputView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(shown_ > 0);
    menu.exec(event->globalPos());
}
