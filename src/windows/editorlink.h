// What the run, input and break windows read of the editor window (fMain).
// Without an editor (fMain not yet created) every text is empty.
#pragma once

#include <QFont>
#include <QString>

QString MainCaption();
QString EditorText(); // the whole text, CR LF line breaks
int EditorLineCount();
QString EditorLine(int index); // 0-based, without its line break
// Marks the 1-based line about to run in the editor while a run is paused; 0 clears.
void EditorShowPausedLine(int line);

// The fixed-pitch font of program text and numbers (12 pixels high).
QFont ProgramFont();
