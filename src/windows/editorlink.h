// What the run, input and break windows read of the editor window (fMain).
// Without an editor (fMain not yet created) every text is empty.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

QString MainCaption();
QString EditorText(); // the whole text, CR LF line breaks
int EditorLineCount();
QString EditorLine(int index); // 0-based, without its line break
QStringList EditorLines();     // every line in order, in time linear in the text

// The fixed-pitch font of program text and numbers (12 pixels high).
QFont ProgramFont();

// The windows' own font: the application's font at an 11-pixel height, the
// main window's font too.
QFont FormFont();
