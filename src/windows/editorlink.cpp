#include "windows/editorlink.h"

#include "windows/editor.h"
#include "windows/globals.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

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

QStringList EditorLines() {
    QStringList lines;
    if (!fMain) return lines;
    const QTextDocument& document = *fMain->oText->document();
    lines.reserve(document.blockCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
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
