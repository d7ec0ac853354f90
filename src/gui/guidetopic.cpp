#include "gui/guidetopic.h"

#include <QStringList>

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool IsTopic(const QString& word) {
    static const QStringList topics =
        QStringLiteral("STACK SET ADD SUB MUL DIV PUSH POP INPUT OUTPUT EXIT GOTO IF ELSE "
                       "ZERO NEG EMPTY NOT")
            .split(u' ');
    return topics.contains(word);
}

} // namespace

QString GuideTopicAt(const QString& line, int column) {
    column = std::clamp(column, 0, int(line.size()));
    const qsizetype comment = line.indexOf(QStringLiteral("//"));
    if (comment >= 0 && column > comment) return {};
    int start = column;
    while (start > 0 && IsWordChar(line[start - 1]))
        --start;
    int end = column;
    while (end < line.size() && IsWordChar(line[end]))
        ++end;
    if (start == end) return {};
    // ":set" names a label; "-max" and "x-y" are no keywords either.
    if (start > 0 && (line[start - 1] == u':' || line[start - 1] == u'-')) return {};
    if (end < line.size() && line[end] == u'-') return {};
    const QString word = line.mid(start, end - start).toUpper();
    return IsTopic(word) ? word : QString();
}
