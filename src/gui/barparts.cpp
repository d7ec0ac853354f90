#include "gui/barparts.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

QAction* AddBarCommand(QMenuBar* bar, const char* name, const QString& caption,
                       const QKeySequence& shortcut) {
    QAction* action = bar->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QLabel* AddPanel(QStatusBar* bar, int width) {
    auto* panel = new QLabel(bar);
    if (width > 0)
        panel->setFixedSize(width, 17);
    else
        panel->setFixedHeight(17);
    bar->addWidget(panel, width > 0 ? 0 : 1);
    return panel;
}
