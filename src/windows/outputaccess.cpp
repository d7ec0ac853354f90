#include "windows/outputaccess.h"

#include "windows/outputview.h"

#include <QAccessibleWidget>

#include <algorithm>
#include <climits>
#include <string_view>
#include <utility>

namespace {

using TSpan = std::pair<std::size_t, std::size_t>;

int Offset(std::size_t position) {
    return static_cast<int>(std::min<std::size_t>(position, INT_MAX));
}

// Offsets from the bus may be negative or past the end; -1 as an end means
// the end.
std::size_t Clamp(int offset, std::size_t size) {
    return offset < 0 ? 0 : std::min(static_cast<std::size_t>(offset), size);
}

// The output as read text. Every query answers from the view's own
// characters and copies only the span it returns.
class TOutputAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TOutputAccessible(TOutputView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    // --- selection and caret ---------------------------------------------------

    void selection(int index, int* start, int* end) const override {
        const bool any = index == 0 && View().SelectionStart() < View().SelectionEnd();
        *start = any ? Offset(View().SelectionStart()) : 0;
        *end = any ? Offset(View().SelectionEnd()) : 0;
    }
    int selectionCount() const override {
        return View().SelectionStart() < View().SelectionEnd() ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) View().Select(View().Caret(), View().Caret());
    }
    void setSelection(int index, int start, int end) override {
        if (index != 0) return;
        const std::size_t size = Chars().size();
        View().Select(Clamp(start, size), Clamp(end < 0 ? INT_MAX : end, size));
    }
    int cursorPosition() const override { return Offset(View().Caret()); }
    void setCursorPosition(int position) override {
        const std::size_t at = Clamp(position, Chars().size());
        View().Select(at, at);
    }

    // --- the characters ----------------------------------------------------------

    QString text(QAccessible::Text kind) const override { return QAccessibleWidget::text(kind); }

    QString text(int start, int end) const override {
        const std::size_t size = Chars().size();
        return Copy({Clamp(start, size), Clamp(end < 0 ? INT_MAX : end, size)});
    }
    int characterCount() const override { return Offset(Chars().size()); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        return Answer(At(Clamp(offset, Chars().size()), boundary), start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        const std::size_t from = At(Clamp(offset, Chars().size()), boundary).first;
        return Answer(from == 0 ? TSpan{0, 0} : At(from - 1, boundary), start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        const std::size_t size = Chars().size();
        const std::size_t to = At(Clamp(offset, size), boundary).second;
        return Answer(to >= size ? TSpan{size, size} : At(to, boundary), start, end);
    }

    // --- geometry ------------------------------------------------------------------

    QRect characterRect(int offset) const override {
        if (offset < 0) return {};
        const QRect cell = View().CharacterRect(static_cast<std::size_t>(offset));
        if (cell.isEmpty()) return {};
        return {View().viewport()->mapToGlobal(cell.topLeft()), cell.size()};
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QWidget* area = View().viewport();
        const QPoint local = area->mapFromGlobal(point);
        return area->rect().contains(local) ? Offset(View().PositionAt(local)) : -1;
    }
    void scrollToSubstring(int start, int /*end*/) override {
        View().ShowPosition(Clamp(start, Chars().size()));
    }
    // One font and colour throughout.
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    TOutputView& View() const { return *static_cast<TOutputView*>(widget()); }
    std::string_view Chars() const { return View().Shown(); }

    QString Copy(TSpan span) const {
        if (span.second <= span.first) return {};
        const std::string_view chars = Chars().substr(span.first, span.second - span.first);
        return QString::fromLatin1(chars.data(), static_cast<qsizetype>(chars.size()));
    }

    QString Answer(TSpan span, int* start, int* end) const {
        *start = Offset(span.first);
        *end = Offset(span.second);
        return Copy(span);
    }

    // The unit holding a position. A word is a value with the blank after it,
    // so that word by word covers the whole output; the output is one
    // paragraph, and its lines are the screen lines. At the very end there is
    // no character, and the other units are the last ones.
    TSpan At(std::size_t position, QAccessible::TextBoundaryType boundary) const {
        const std::string_view chars = Chars();
        const std::size_t size = chars.size();
        if (boundary == QAccessible::CharBoundary)
            return position < size ? TSpan{position, position + 1} : TSpan{size, size};
        if (size == 0) return {0, 0};
        position = std::min(position, size - 1);
        switch (boundary) {
        case QAccessible::WordBoundary: {
            const std::size_t before =
                position == 0 ? std::string_view::npos : chars.rfind(' ', position - 1);
            const std::size_t blank = chars.find(' ', position);
            return {before == std::string_view::npos ? 0 : before + 1,
                    blank == std::string_view::npos ? size : blank + 1};
        }
        case QAccessible::LineBoundary: return View().ScreenLineAt(position);
        default: return {0, size};
        }
    }
};

QAccessibleInterface* OutputFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TOutputView") && object && object->isWidgetType())
        return new TOutputAccessible(static_cast<TOutputView*>(object));
    return nullptr;
}

} // namespace

void InstallOutputAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(OutputFactory);
        return true;
    }();
    (void)installed;
}
