#include "windows/syntax.h"

#include "gui/colours.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool IsWordChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '-';
}

bool IsStatementKeyword(const QString& word) {
    static const QSet<QString> keywords = {
        QStringLiteral("STACK"),  QStringLiteral("SET"),  QStringLiteral("ADD"),
        QStringLiteral("SUB"),    QStringLiteral("MUL"),  QStringLiteral("DIV"),
        QStringLiteral("PUSH"),   QStringLiteral("POP"),  QStringLiteral("INPUT"),
        QStringLiteral("OUTPUT"), QStringLiteral("EXIT"), QStringLiteral("GOTO"),
        QStringLiteral("IF")};
    return keywords.contains(word);
}

bool IsConditionWord(const QString& word) {
    static const QSet<QString> words = {QStringLiteral("ZERO"),  QStringLiteral("NEG"),
                                        QStringLiteral("EMPTY"), QStringLiteral("NOT"),
                                        QStringLiteral("GOTO"),  QStringLiteral("ELSE")};
    return words.contains(word);
}

bool IsNumber(const QString& word) {
    if (word == QStringLiteral("-MIN") || word == QStringLiteral("-MAX")) return true;
    const int from = word.startsWith(u'-') ? 1 : 0;
    if (from == word.size()) return false;
    for (int i = from; i < word.size(); ++i)
        if (!word[i].isDigit() || word[i].unicode() > '9') return false;
    return true;
}

// The code part of a line: everything before its comment.
int CodeLength(QStringView line) {
    const qsizetype comment = line.indexOf(u"//");
    return int(comment < 0 ? line.size() : comment);
}

// A label definition first on the line: its span, from the colon to the blank.
int SkipLabel(QStringView code, int at, std::vector<TToken>* tokens) {
    if (at >= code.size() || code[at] != u':') return at;
    int end = at;
    while (end < code.size() && !IsBlank(code[end]))
        ++end;
    if (tokens) tokens->push_back({at, end - at, TTokenKind::LabelDef});
    return end;
}

int SkipBlanks(QStringView code, int at) {
    while (at < code.size() && IsBlank(code[at]))
        ++at;
    return at;
}

} // namespace

std::vector<TToken> ScanLine(QStringView line, const QSet<QString>& stacks) {
    std::vector<TToken> tokens;
    const QStringView code = line.left(CodeLength(line));
    int at = SkipLabel(code, SkipBlanks(code, 0), &tokens);
    int index = 0;
    QString first;
    bool labelDue = false;
    while (at < code.size()) {
        if (!IsWordChar(code[at])) {
            ++at;
            continue;
        }
        const int start = at;
        while (at < code.size() && IsWordChar(code[at]))
            ++at;
        const QString word = code.mid(start, at - start).toString().toUpper();
        TTokenKind kind = TTokenKind::Count;
        if (index == 0) {
            first = word;
            if (IsStatementKeyword(word)) kind = TTokenKind::Keyword;
            labelDue = word == QStringLiteral("GOTO") || word == QStringLiteral("INPUT");
        } else if (labelDue) {
            kind = TTokenKind::LabelUse;
            labelDue = false;
        } else if (first == QStringLiteral("IF") && IsConditionWord(word)) {
            kind = TTokenKind::Keyword;
            labelDue = word == QStringLiteral("GOTO") || word == QStringLiteral("ELSE");
        } else if (first == QStringLiteral("STACK")) {
            if (!word[0].isDigit() && word[0] != u'-') kind = TTokenKind::Stack;
        } else if (IsNumber(word)) {
            kind = TTokenKind::Number;
        } else if (stacks.contains(word)) {
            kind = TTokenKind::Stack;
        }
        if (kind != TTokenKind::Count) tokens.push_back({start, at - start, kind});
        ++index;
    }
    if (code.size() < line.size())
        tokens.push_back({int(code.size()), int(line.size() - code.size()), TTokenKind::Comment});
    for (qsizetype m = line.indexOf(u"<BREAK>", 0, Qt::CaseInsensitive); m >= 0;
         m = line.indexOf(u"<BREAK>", m + 7, Qt::CaseInsensitive))
        tokens.push_back({int(m), 7, TTokenKind::Break});
    return tokens;
}

QSet<QString> StacksOfLine(QStringView line, bool& started) {
    const QStringView code = line.left(CodeLength(line));
    const int at = SkipBlanks(code, 0);
    if (at == code.size()) return {};
    started = true;
    if (code[at] == u':') return {};
    QStringList words = code.mid(at).toString().toUpper().split(
        QRegularExpression(QStringLiteral("[ \t\n\v\f]+")), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.front() != QStringLiteral("STACK")) return {};
    words.removeFirst();
    return QSet<QString>(words.begin(), words.end());
}

std::array<QTextCharFormat, size_t(TTokenKind::Count)> SyntaxFormats(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    const QColor band = PausedLineBand(palette);
    const bool dark = IsDark(palette);
    // One lightness per background keeps the hues apart; each is then made
    // readable on the base and on the paused line's band.
    const auto readable = [&](const QColor& colour) {
        return WithContrast(colour, {base, band}, kTextContrast);
    };
    const auto tint = [&](int hue) {
        return readable(QColor::fromHsl(hue, dark ? 170 : 210, dark ? 170 : 85));
    };
    std::array<QTextCharFormat, size_t(TTokenKind::Count)> formats;
    auto& keyword = formats[size_t(TTokenKind::Keyword)];
    keyword.setForeground(tint(220));
    keyword.setFontWeight(QFont::Bold);
    auto& labelDef = formats[size_t(TTokenKind::LabelDef)];
    labelDef.setForeground(tint(290));
    labelDef.setFontWeight(QFont::Bold);
    formats[size_t(TTokenKind::LabelUse)].setForeground(tint(290));
    formats[size_t(TTokenKind::Number)].setForeground(tint(25));
    formats[size_t(TTokenKind::Stack)].setForeground(tint(160));
    auto& comment = formats[size_t(TTokenKind::Comment)];
    comment.setForeground(readable(Mix(text, base, 0.55)));
    comment.setFontItalic(true);
    auto& mark = formats[size_t(TTokenKind::Break)];
    mark.setForeground(tint(0));
    mark.setFontWeight(QFont::Bold);
    mark.setFontItalic(false);
    return formats;
}

// Connected before the base class connects itself, so that the names are
// known when the changed blocks get coloured. Owned by the document (the
// QObject constructor makes it the parent without attaching to it).
TSyntaxHighlighter::TSyntaxHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(static_cast<QObject*>(document)), formats_(SyntaxFormats(QPalette())) {
    connect(document, &QTextDocument::contentsChange, this, &TSyntaxHighlighter::FindStacks);
    setDocument(document);
}

void TSyntaxHighlighter::SetPalette(const QPalette& palette) {
    formats_ = SyntaxFormats(palette);
    rehighlight();
}

void TSyntaxHighlighter::highlightBlock(const QString& text) {
    for (const TToken& token : ScanLine(text, stacks_))
        setFormat(token.Start, token.Length, Format(token.Kind));
}

// The STACK line changes the colour of words all over the text: a change of
// the declared names recolours everything, once the edit is complete, unless
// the edit replaced the whole text, which the base class colours anyway.
void TSyntaxHighlighter::FindStacks(int from, int /*removed*/, int added) {
    QSet<QString> stacks;
    bool started = false;
    for (QTextBlock block = document()->begin(); block.isValid() && !started; block = block.next())
        stacks = StacksOfLine(block.text(), started);
    if (stacks == stacks_) return;
    stacks_ = std::move(stacks);
    if (from == 0 && added >= document()->characterCount() - 1) return;
    if (rehighlightDue_) return;
    rehighlightDue_ = true;
    QTimer::singleShot(0, this, [this] {
        rehighlightDue_ = false;
        rehighlight();
    });
}
