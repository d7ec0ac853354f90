// Window widths that show a whole caption.
#pragma once

#include <QString>

class QWidget;

// The width a window needs for the window manager to show `caption` whole in
// its title bar (bold title font, icon and buttons), at most the available
// width of the window's screen.
int CaptionWidth(const QWidget& window, const QString& caption);

// Widens the window, never narrows it, so that its caption shows whole.
void FitCaption(QWidget& window);
