#include "windows/globals.h"

TfMain* fMain = nullptr;
TfRun* fRun = nullptr;
TfInput* fInput = nullptr;
TfBreak* fBreak = nullptr;
TfAbout* fAbout = nullptr;
