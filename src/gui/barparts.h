// Menu-bar commands and status-bar panels of the run and break windows.
#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QLabel;
class QMenuBar;
class QStatusBar;

// A command placed directly on the menu bar, named for lookups by name.
QAction* AddBarCommand(QMenuBar* bar, const char* name, const QString& caption,
                       const QKeySequence& shortcut);

// A status panel of a fixed width, or (width 0) one that takes the rest of the
// bar. Panels get a fixed size: a panel whose size follows its text makes the
// whole bar lay out and repaint on every change.
QLabel* AddPanel(QStatusBar* bar, int width);
