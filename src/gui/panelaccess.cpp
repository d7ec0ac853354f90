#include "gui/panelaccess.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>

namespace {

class TPanelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TPanelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        QString answer = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && answer.isEmpty()) answer = Shown();
        return answer;
    }

    QString text(int start, int end) const override {
        const QString shown = Shown();
        const qsizetype size = shown.size();
        const qsizetype from = std::clamp<qsizetype>(start, 0, size);
        const qsizetype to = end < 0 ? size : std::clamp<qsizetype>(end, from, size);
        return shown.mid(from, to - from);
    }
    int characterCount() const override { return static_cast<int>(Shown().size()); }

    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QString Shown() const { return static_cast<const QLabel*>(widget())->text(); }
};

QAccessibleInterface* PanelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QLabel") || !object || !object->isWidgetType()) return nullptr;
    auto* label = static_cast<QLabel*>(object);
    if (!qobject_cast<QStatusBar*>(label->parentWidget())) return nullptr;
    return new TPanelAccessible(label);
}

} // namespace

void InstallPanelAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(PanelFactory);
        return true;
    }();
    (void)installed;
}
