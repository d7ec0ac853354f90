#include "gui/infobox.h"

#include "gui/captionfit.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include <utility>

namespace {
TInfoBoxHook& Hook() {
    static TInfoBoxHook hook;
    return hook;
}
} // namespace

std::unique_ptr<QMessageBox> MakeInfoBox(QWidget* parent, const QString& title,
                                         const QString& text) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, title, text, QMessageBox::Ok,
                                             parent);
    // A message box sizes itself to its text alone; a spacer across its grid
    // makes room for the caption too.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        auto* spacer =
            new QSpacerItem(CaptionWidth(*box, title), 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

void ShowInfoBox(QWidget* parent, const QString& title, const QString& text) {
    if (Hook()) {
        Hook()(title, text);
        return;
    }
    MakeInfoBox(parent, title, text)->exec();
}

TInfoBoxHook SetInfoBoxHook(TInfoBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}
