#include "windows/editorlink.h"

#include "windows/editor.h"
#include "windows/globals.h"

#include <QFontDatabase>

QString MainCaption() {
    return fMain ? fMain->Caption() : QString();
}

QString EditorText() {
    return fMain ? fMain->EditorText() : QString();
}

int EditorLineCount() {
    return fMain ? fMain->LineCount() : 0;
}

QString EditorLine(int index) {
    return fMain ? fMain->LineAt(index) : QString();
}

void EditorShowPausedLine(int line) {
    if (fMain) fMain->ShowPausedLine(line);
}

QFont ProgramFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    return font;
}
