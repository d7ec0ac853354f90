// The two fonts of the program's windows.
#pragma once

#include <QFont>

// Program text and numbers: the desktop's fixed-pitch font at a 12-pixel
// character height.
QFont ProgramFont();

// The windows' own font: the application's font at an 11-pixel character
// height (the about box's name uses it larger).
QFont FormFont(int pixelSize = 11);
