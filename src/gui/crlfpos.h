// Positions in the editor's text. QTextDocument stores one character per line
// break; the machine core, the run window and the files count CR LF as two.
// A "CR LF position" counts every character of the text with CR LF breaks; a
// "document position" is a QTextDocument / QTextCursor position.
#pragma once

#include <QStringView>

class QTextDocument;

// Document position -> CR LF position: every line break before the position
// adds one character. Positions past the end are clamped to the end.
int DocToCrlf(const QTextDocument& doc, int docPos);

// CR LF position -> document position. A position on the LF of a CR LF pair
// (between its two characters) maps onto the line break, that is, to the end
// of that line. Negative positions give 0, positions past the end the end.
int CrlfToDoc(const QTextDocument& doc, int crlfPos);

// The same pair over plain text with '\n' as its only line break (the text
// of QPlainTextEdit::toPlainText or of a QTextDocument's blocks).
int DocToCrlf(QStringView plain, int docPos);
int CrlfToDoc(QStringView plain, int crlfPos);
