// The application's palettes: the one it starts with (the desktop's, or the
// style's own) and a dark one the user can switch to while the program runs.
// The choice is not kept: every start is in the desktop's palette.
#pragma once

#include <QPalette>

// Light text on dark grey for the Fusion style, every colour group filled.
// Text, highlighted text and links are readable as text (4.5:1) on what they
// stand on, disabled text still at 3:1.
QPalette DarkPalette();

bool DarkPaletteOn();

// The window colour to hand Fusion for a check box's frame so that the frame
// stands out from the base it is drawn on as a mark does (3:1): Fusion's own,
// a shade of the window colour, is about 1.9:1 on a light base and next to
// invisible on a dark one.
QColor CheckFrameSource(const QPalette& palette);

// On: the Fusion style (with check box frames that show on a dark base) and
// DarkPalette() for the whole application; other styles may draw with colours
// of their own. Off: the style and palette the
// application had when it was switched on. Every widget gets the palette
// change events; nothing happens when the state is already the one asked for.
void SetDarkPalette(bool on);
