// What the editor holds at start: a program left unsaved when Corvane last
// ended without closing, and the file named on the command line (a file
// manager's double click).
#pragma once

#include <QString>

// The file named on the command line: its first argument that is no option,
// or "" when there is none. An argument starting with "-" is an option and is
// ignored, together with the value that follows one of Qt's options that take
// one ("-style fusion"); "--" ends the options.
QString FileArgument(int argc, const char* const* argv);

// Offers the recovery copies left behind (TfMain::OfferRecovery), then opens
// `file`, when given, as File > Open does once a file is chosen, after the
// save question of a restored program; a file that cannot be read gives
// Open's message and leaves the editor as it was. A restored program that
// is `file` itself is not replaced by the file's older text.
void OpenAtStart(const QString& file);
