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

// A framed status panel (the main window's look). With a width, the panel is
// that wide (grown with a font bigger than the designed one, see Grown), or
// wider when `widest` (the longest text it can be given) would not fit at the
// font in use, but no wider than half the screen (a text that then does
// not fit is cut with an ellipsis); it refits, height too, whenever its font
// changes. With width 0 it takes the rest of the bar, and at least its text's
// width.
//
// Panels get a fixed height, and a fixed width where they have one: a panel
// whose size follows its text makes the whole bar lay out and repaint on
// every change.
QLabel* AddPanel(QStatusBar* bar, int width, const QString& widest = {});

// A framed panel that takes the rest of the bar and cuts a text that does not
// fit with an ellipsis: its text never widens the window.
QLabel* AddCuttingPanel(QStatusBar* bar);
