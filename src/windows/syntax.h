// Colouring of program text: a view-only scanner and the editor's highlighter.
// Which words are wrong is the parser's business (the live check); the
// scanner only names the classes of words that look right.
#pragma once

#include <QPalette>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>
#include <vector>

enum class TTokenKind { Keyword, LabelDef, LabelUse, Number, Stack, Comment, Break, Count };

struct TToken {
    int Start = 0;
    int Length = 0;
    TTokenKind Kind = TTokenKind::Keyword;
    bool operator==(const TToken&) const = default;
};

// The coloured spans of one line, in order; later spans win where they overlap
// (a "<BREAK>" inside a comment). `stacks` holds the declared names in upper case.
std::vector<TToken> ScanLine(QStringView line, const QSet<QString>& stacks);

// The names of the STACK line, in upper case, when `line` is the program's
// first statement line and a STACK line. `started` becomes true at the first
// line holding a label or a statement: no STACK line can follow it.
QSet<QString> StacksOfLine(QStringView line, bool& started);

// Colours derived from a palette, readable on a light and on a dark base.
std::array<QTextCharFormat, size_t(TTokenKind::Count)> SyntaxFormats(const QPalette& palette);

class TSyntaxHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit TSyntaxHighlighter(QTextDocument* document);

    // New colours, for the palette the editor now has.
    void SetPalette(const QPalette& palette);
    const QTextCharFormat& Format(TTokenKind kind) const { return formats_[size_t(kind)]; }
    const QSet<QString>& Stacks() const { return stacks_; }

protected:
    void highlightBlock(const QString& text) override;

private:
    void FindStacks(int from, int removed, int added);

    QSet<QString> stacks_;
    std::array<QTextCharFormat, size_t(TTokenKind::Count)> formats_;
    bool rehighlightDue_ = false;
};
