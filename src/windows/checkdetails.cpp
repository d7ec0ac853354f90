#include "windows/checkdetails.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

using corvane::suite::TCase;
using corvane::suite::TCaseResult;
using corvane::suite::TCompare;
using corvane::suite::TOutcome;
using corvane::suite::TReason;

namespace {

// Every line after the first starts under the first line's text.
const QString kIndent(10, u' ');

QString Labelled(const char* label, const QString& text) {
    QString value = text;
    value.replace(u'\n', u'\n' + kIndent);
    return QString::fromLatin1(label).leftJustified(kIndent.size()) + value + u'\n';
}

// The output as it reads on its own: trailing blanks and line feeds go, and
// where values are compared the blanks between them shrink to one, so that
// the first difference is one of values, not of layout.
QString Shown(const std::string& text, TCompare compare) {
    QString shown = QString::fromUtf8(text);
    if (compare == TCompare::Values || compare == TCompare::Contains)
        return shown.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)
            .join(u' ');
    while (shown.endsWith(u' ') || shown.endsWith(u'\n') || shown.endsWith(u'\t') ||
           shown.endsWith(u'\r'))
        shown.chop(1);
    return shown;
}

qsizetype FirstDifference(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return a.size() == b.size() ? -1 : n;
}

// The caret under the first difference of one-line texts; its line and column
// where either spans lines.
QString DifferenceMark(const QString& expected, const QString& actual) {
    const qsizetype at = FirstDifference(expected, actual);
    if (at < 0) return {};
    if (!expected.contains(u'\n') && !actual.contains(u'\n'))
        return kIndent + QString(at, u' ') + QStringLiteral("^ first difference\n");
    const QString before = actual.left(at);
    const qsizetype line = before.count(u'\n') + 1;
    const qsizetype column = at - (before.lastIndexOf(u'\n') + 1) + 1;
    return Labelled("", QStringLiteral("first difference at line %1, column %2 of the output")
                            .arg(line)
                            .arg(column));
}

QString ExpectedText(const TCase& c) {
    switch (c.Outcome) {
    case TOutcome::Output:
        return c.Compare == TCompare::Regex
                   ? QStringLiteral("output matching ") + QString::fromUtf8(c.Expected)
                   : Shown(c.Expected, c.Compare);
    case TOutcome::Error: {
        QString text = QStringLiteral("an error: ") + QString::fromUtf8(c.Expected);
        if (c.ErrorLine) text += QStringLiteral(" (line %1)").arg(*c.ErrorLine);
        return text;
    }
    case TOutcome::StepLimit: return QStringLiteral("still running after %1 steps").arg(c.MaxSteps);
    }
    return {};
}

QString ErrorText(const corvane::suite::TRunError& error) {
    const QString message = QString::fromUtf8(error.Message);
    if (error.Line == 0) return message;
    return QStringLiteral("line %1, column %2: ").arg(error.Line).arg(error.Column) + message;
}

} // namespace

QString CheckSummary(int passed, int cases, int64_t score, int64_t maxScore) {
    return QStringLiteral("%1 of %2 passed, %3 of %4 points")
        .arg(passed)
        .arg(cases)
        .arg(score)
        .arg(maxScore);
}

QString ReasonText(TReason reason) {
    switch (reason) {
    case TReason::None: return {};
    case TReason::WrongOutput: return QStringLiteral("wrong output");
    case TReason::Error: return QStringLiteral("an error the case does not expect");
    case TReason::NoError: return QStringLiteral("no error, where the case expects one");
    case TReason::StepLimit: return QStringLiteral("still running at the step limit");
    case TReason::Timeout: return QStringLiteral("timed out");
    }
    return {};
}

QString CaseDetails(const TCase& c, const TCaseResult* r) {
    const bool passed = r && r->Status == corvane::suite::TStatus::Passed;
    const QString result = !r       ? QStringLiteral("not run yet")
                           : passed ? QStringLiteral("passed")
                                    : QStringLiteral("failed: ") + ReasonText(r->Reason);
    QString text = Labelled("Result:", result);
    if (c.Hidden)
        return text + Labelled("", QStringLiteral("(a hidden case: its data is not shown)"));

    text += Labelled("Input:",
                     c.Input.empty() ? QStringLiteral("(no input)") : QString::fromUtf8(c.Input));
    const QString expected = ExpectedText(c);
    text += Labelled("Expected:", expected);
    if (!r) return text;
    const QString actual = Shown(r->Output, c.Compare);
    text += Labelled("Actual:", r->OutputCut       ? actual + QStringLiteral(" ...")
                                : actual.isEmpty() ? QStringLiteral("(no output)")
                                                   : actual);
    if (!passed && c.Outcome == TOutcome::Output && !r->Error &&
        (c.Compare == TCompare::Values || c.Compare == TCompare::Exact))
        text += DifferenceMark(expected, actual);
    if (r->Error) text += Labelled("Error:", ErrorText(*r->Error));
    text += Labelled("Steps:", QString::number(r->Steps));
    return text;
}
