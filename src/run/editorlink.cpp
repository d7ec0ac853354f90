#include "run/editorlink.h"

#include "shell/editor.h"
#include "shell/globals.h"

#include <QFontDatabase>
#include <QGuiApplication>

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

QFont ProgramFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    return font;
}

QFont FormFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    return font;
}
