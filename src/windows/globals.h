// The five windows of the application, created at start-up in this order and
// destroyed in reverse (TWindows). Only GUI code touches them.
#pragma once

class TfMain;
class TfRun;
class TfInput;
class TfBreak;
class TfAbout;

extern TfMain* fMain;
extern TfRun* fRun;
extern TfInput* fInput;
extern TfBreak* fBreak;
extern TfAbout* fAbout;
