#include "windows/breakmarker.h"

namespace {

const QString kMarker = QStringLiteral("<BREAK>");
const QString kComment = QStringLiteral("//");

int MarkerAt(QStringView line) {
    return int(line.indexOf(kMarker, 0, Qt::CaseInsensitive));
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

} // namespace

bool HasBreakMarker(QStringView line) {
    return MarkerAt(line) >= 0;
}

TLineEdit ToggleBreakEdit(QStringView line) {
    const int size = int(line.size());
    const int comment = int(line.indexOf(kComment));
    const int marker = MarkerAt(line);
    if (marker < 0) {
        if (comment < 0) return {size, 0, QStringLiteral(" // ") + kMarker};
        // An empty comment takes the marker without a blank: removing it then
        // leaves "//" as it was.
        if (comment + 2 == size) return {size, 0, kMarker};
        return {size, 0, QStringLiteral(" ") + kMarker};
    }
    int start = marker;
    int end = marker + int(kMarker.size());
    const bool atEnd = line.mid(end).trimmed().isEmpty();
    // " // <BREAK>" at the end of a line: the whole comment was the marker.
    if (atEnd && start >= 3 && line.mid(start - 3, 3) == QStringLiteral("// ") &&
        start - 3 == comment) {
        start -= 3;
        if (start > 0 && IsBlank(line[start - 1])) --start;
    } else if (start > 0 && line[start - 1] == u' ') {
        --start;
    }
    return {start, end - start, QString()};
}

QString Applied(QStringView line, const TLineEdit& edit) {
    QString result = line.toString();
    result.replace(edit.Pos, edit.Remove, edit.Insert);
    return result;
}
