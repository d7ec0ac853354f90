#include "gui/infobox.h"

#include <QMessageBox>

#include <utility>

namespace {
TInfoBoxHook& Hook() {
    static TInfoBoxHook hook;
    return hook;
}
} // namespace

void ShowInfoBox(QWidget* parent, const QString& title, const QString& text) {
    if (Hook()) {
        Hook()(title, text);
        return;
    }
    QMessageBox::information(parent, title, text);
}

TInfoBoxHook SetInfoBoxHook(TInfoBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}
