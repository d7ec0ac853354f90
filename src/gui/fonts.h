// The two fonts of the program's windows, and how designed sizes grow with
// them.
#pragma once

#include <QFont>
#include <QSize>

// Program text and numbers: the desktop's fixed-pitch font at 9 points (12
// pixels at 96 dpi), at the zoom given in percent.
QFont ProgramFont(int zoomPercent = 100);

// The windows' own font: the application's font (the desktop's, or what the
// application was given), at the zoom given in percent.
QFont FormFont(int zoomPercent = 100);

// The font at `factor` times its size, in points whichever way it was given.
QFont ScaledFont(const QFont& font, qreal factor);

// The layouts were designed for a font 12 pixels high (9 points at 96 dpi).
// How much bigger `font` is than that, never less than 1: a smaller font
// keeps the designed sizes.
qreal FontGrowth(const QFont& font);

// A designed length (status bar heights, panel widths, window sizes) grown in
// proportion with the font in use.
int Grown(int designed, const QFont& font);
QSize Grown(QSize designed, const QFont& font);

class QWidget;
// The biggest size the window's client area can take on its screen's
// available area, less the window manager's frame once it has one. Without a
// screen, no bound.
QSize ScreenRoom(const QWidget& window);

// Makes a window at least its designed size grown with its font, but never
// bigger than its screen's room; a window the user made bigger keeps its
// size. For a window's first size, and again when its font changes.
void GrowWindow(QWidget& window, QSize designed);
