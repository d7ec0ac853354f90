// Which section of the language guide belongs to the word under the caret.
#pragma once

#include <QString>

// The keyword (statement, condition word, ELSE, GOTO) that the caret at
// `column` of `line` stands in or right after, in upper case; empty when the
// caret is on anything else, in a comment or on a label's name.
QString GuideTopicAt(const QString& line, int column);
