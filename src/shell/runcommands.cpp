// The Run menu: Run, Trace and Run To Cursor. The run window wires these.
#include "shell/editor.h"

void TfMain::mRunClick() {}

void TfMain::mTraceClick() {}

void TfMain::mRunToCursorClick() {}
