#include "core/parser.h"

#include "core/appstrings.h"
#include "core/host.h"
#include "core/program.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace corvane {

namespace {

// What ended a token.
constexpr int tkEndOfText = 0; // end of the text (a last word, if any, comes with it)
constexpr int tkEndOfLine = 1; // end of the line (a last word, if any, comes with it)
constexpr int tkWord = 2;      // a word followed by a blank on the same line
constexpr int tkError = 101;   // an unrecognised character; the message has been shown

bool IsWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct TToken {
    int Code = tkEndOfText;
    bool HasWord = false;
    bool Label = false;    // a label definition: a colon-word first on its line
    std::size_t Start = 0; // source position of the word
    std::size_t Length = 0;
};

// Cuts the text into tokens. Works on positions in the caller's text: nothing
// is copied or allocated per token.
class TScanner {
public:
    explicit TScanner(std::string_view text) : text_(text) {}

    std::size_t Pos() const { return pos_; }
    std::string_view WordOf(const TToken& t) const { return text_.substr(t.Start, t.Length); }

    // token := [blanks] [':'] word-ish ... terminated by a blank, a line end,
    // a comment or the end of the text.
    // A colon marks a label: the word is what follows the last colon. First on
    // its line it defines a label, whatever ends it; anywhere else it is the
    // plain word after the colon, and an empty one counts as no word at all.
    TToken Next(bool firstOfLine) {
        TToken t;
        bool started = false;
        bool colon = false;
        std::size_t wordStart = 0;
        std::size_t colonMark = 0;
        const auto finish = [&](int code, std::size_t end) {
            t.Code = code;
            if (colon) {
                t.Start = colonMark;
                t.Length = end - colonMark;
                t.Label = firstOfLine;
                t.HasWord = t.Label || t.Length > 0;
            } else if (started) {
                t.Start = wordStart;
                t.Length = end - wordStart;
                t.HasWord = true;
            }
            return t;
        };
        for (;;) {
            if (pos_ >= text_.size()) return finish(tkEndOfText, pos_);
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '\r') {
                const std::size_t end = pos_;
                pos_ = std::min(pos_ + 2, text_.size());
                return finish(tkEndOfLine, end);
            }
            if (c == '/') {
                const std::size_t end = pos_;
                if (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '/') return Error();
                const std::size_t lf = text_.find('\n', pos_);
                if (lf == std::string_view::npos) {
                    pos_ = text_.size();
                    return finish(tkEndOfText, end);
                }
                pos_ = lf + 1;
                return finish(tkEndOfLine, end);
            }
            if (c == ':') {
                colon = true;
                colonMark = ++pos_;
                continue;
            }
            if (IsBlank(c)) {
                if (colon || started) {
                    const std::size_t end = pos_++;
                    finish(tkWord, end);
                    if (t.HasWord) return t;
                    // An empty colon-word inside a line is no word: go on.
                    t = TToken{};
                    colon = started = false;
                    continue;
                }
                ++pos_;
                continue;
            }
            if (IsWordChar(c) || (c == '-' && !started && !colon)) {
                if (!started) {
                    started = true;
                    wordStart = pos_;
                }
                ++pos_;
                continue;
            }
            return Error();
        }
    }

private:
    static TToken Error() {
        TToken t;
        t.Code = tkError;
        return t;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool SameWord(std::string_view word, std::string_view keyword) {
    return SameName(word, keyword);
}

// number := ['-'] digit {digit} | '-' ("min" | "max"), wrapping modulo 2^32.
// -min and -max are the historical constants -2^30 and 2^30 - 1. False when
// the word is no valid literal.
bool ReadNumber(std::string_view word, uint32_t& value) {
    uint32_t sign = 1;
    std::size_t i = 0;
    if (!word.empty() && word[0] == '-') {
        const std::string_view rest = word.substr(1);
        if (SameWord(rest, "min")) {
            value = 0xC0000000u;
            return true;
        }
        if (SameWord(rest, "max")) {
            value = 0x3FFFFFFFu;
            return true;
        }
        sign = 0xFFFFFFFFu;
        i = 1;
        if (rest.empty()) return false;
    }
    uint32_t v = 0;
    for (; i < word.size() && IsDigit(word[i]); ++i)
        v = v * 10u + static_cast<uint32_t>(word[i] - '0');
    if (i != word.size()) return false;
    value = v * sign;
    return true;
}

struct TKeyword {
    std::string_view Text;
    int32_t Kind;
};
constexpr std::array<TKeyword, 13> Keywords{{
    {"STACK", ckStack},
    {"SET", ckSet},
    {"ADD", ckAdd},
    {"SUB", ckSub},
    {"MUL", ckMul},
    {"DIV", ckDiv},
    {"PUSH", ckPush},
    {"POP", ckPop},
    {"INPUT", ckInput},
    {"OUTPUT", ckOutput},
    {"EXIT", ckExit},
    {"GOTO", ckGoto},
    {"IF", ckIf},
}};

int32_t KeywordKind(std::string_view word) {
    for (const TKeyword& k : Keywords)
        if (SameWord(word, k.Text)) return k.Kind;
    return ckNone;
}

constexpr int32_t kOk = -1;
constexpr int32_t kAtScan = -1; // an error position: wherever the scan then stands

class TParser {
public:
    TParser(std::string_view text, TProgram& program, THost& host)
        : scan_(text), prog_(program), host_(host) {}

    int32_t Run();

private:
    int32_t Statement();
    int32_t StackLine();
    int32_t LabelWord(TName& target, int32_t endPos, int32_t noWordPos);
    int32_t LabelOperand(TName& target);
    int32_t IfStatement();
    int32_t Condition(TCondition*& root, bool& lastWasGoto);
    int32_t Operand();

    // Reads the next token into tok_. False on an unrecognised character,
    // whose message has then been shown; the scan position is on it.
    bool Read(bool firstOfLine = false) {
        tok_ = scan_.Next(firstOfLine);
        if (tok_.Code != tkError) return true;
        Fail(sBadCharacter, ScanPos());
        return false;
    }
    bool EndsLine() const { return tok_.Code != tkWord; }
    std::string_view Word() const { return scan_.WordOf(tok_); }
    bool WordStartsWith(char c) const { return tok_.Length > 0 && Word()[0] == c; }
    int32_t ScanPos() const { return static_cast<int32_t>(scan_.Pos()); }
    int32_t WordPos() const { return static_cast<int32_t>(tok_.Start); }
    // The panel names the failing line while the message is shown.
    int32_t Fail(TStringId message, int32_t pos) {
        host_.SetStatus(LineText(line_));
        host_.Error(TError{message, pos, line_});
        return pos;
    }

    TScanner scan_;
    TProgram& prog_;
    THost& host_;
    TToken tok_;
    TCommand* cmd_ = nullptr; // the record the current line fills
    bool started_ = false;    // a label or a command has been seen: STACK is refused
    int32_t line_ = 1;
};

// text := line {CR LF line}
// line := [label definition] [statement] [comment]
int32_t TParser::Run() {
    prog_.ClearCommands();
    prog_.ClearStacks();
    prog_.ClearLabels();
    prog_.ClearConditions();
    cmd_ = prog_.NewCommand();
    host_.ParseProgress(line_);
    prog_.AddStack("");
    for (;;) {
        const int32_t r = Statement();
        if (r != kOk) return r;
        cmd_->Line = line_;
        if (cmd_->Kind != ckNone) {
            cmd_ = prog_.NewCommand();
            started_ = true;
        }
        ++line_;
        host_.ParseProgress(line_);
        if (tok_.Code == tkEndOfText) break;
    }
    cmd_->Kind = ckExit;
    cmd_->Pos = -1;
    cmd_->Line = -1;
    host_.SetStatus("");
    return kOk;
}

// One line: [':' name] [keyword operands...]; on success tok_ ends the line.
int32_t TParser::Statement() {
    if (!Read(true)) return ScanPos();
    if (tok_.Label) {
        prog_.AddLabel(Word(), cmd_);
        started_ = true;
        if (tok_.Code != tkWord) return kOk;
        if (!Read()) return ScanPos();
    }
    if (!tok_.HasWord) return kOk;

    const int32_t kind = KeywordKind(Word());
    if (kind == ckNone) return Fail(sBadExpression, WordPos());
    cmd_->Kind = kind;
    cmd_->Pos = WordPos();

    int32_t r = kOk;
    switch (kind) {
    case ckStack: r = StackLine(); break;
    case ckSet:
    case ckAdd:
    case ckSub:
    case ckMul:
    case ckDiv:
    case ckPush:
    case ckPop: r = Operand(); break;
    case ckInput: r = LabelOperand(cmd_->ElseLabel); break;
    case ckGoto: r = LabelOperand(cmd_->GotoLabel); break;
    case ckIf: r = IfStatement(); break;
    default: break; // OUTPUT, EXIT
    }
    if (r != kOk) return r;

    if (tok_.Code == tkWord) {
        if (!Read()) return ScanPos();
        if (tok_.HasWord) return Fail(sEolExpected, WordPos());
    }
    return kOk;
}

// STACK {name}: only before any label or command.
int32_t TParser::StackLine() {
    if (started_) return Fail(sStackNotFirst, cmd_->Pos);
    while (tok_.Code == tkWord) {
        if (!Read()) return ScanPos();
        if (!tok_.HasWord || tok_.Length == 0) continue;
        if (IsDigit(Word()[0]) || Word()[0] == '-') return Fail(sBadStackName, WordPos());
        if (!prog_.AddStack(Word())) return Fail(sStackNotUnique, WordPos());
    }
    return kOk;
}

// label := word, on the same line; it may start with a digit, not with '-'.
// A line that ends before the label gives the message at endPos, a token
// with no word at noWordPos (kAtScan: the scan position after that token).
int32_t TParser::LabelWord(TName& target, int32_t endPos, int32_t noWordPos) {
    if (EndsLine()) return Fail(sLabelExpected, endPos);
    if (!Read()) return ScanPos();
    if (!tok_.HasWord) return Fail(sLabelExpected, noWordPos == kAtScan ? ScanPos() : noWordPos);
    if (WordStartsWith('-')) return Fail(sLabelExpected, WordPos());
    target = TName(Word());
    return kOk;
}

// INPUT label | GOTO label
int32_t TParser::LabelOperand(TName& target) {
    return LabelWord(target, cmd_->Pos, cmd_->Pos);
}

// operand := number | stack name | nothing (the primary stack).
// PUSH and POP take a stack name only.
int32_t TParser::Operand() {
    TStackRec* primary = prog_.FindStack(nullptr);
    if (EndsLine()) {
        cmd_->Stack = primary;
        return kOk;
    }
    if (!Read()) return ScanPos();
    if (!tok_.HasWord) {
        cmd_->Stack = primary;
        return kOk;
    }
    if (IsDigit(Word()[0]) || Word()[0] == '-') {
        if (cmd_->Kind == ckPush || cmd_->Kind == ckPop) return Fail(sBadStackName, WordPos());
        if (!ReadNumber(Word(), cmd_->Value)) return Fail(sBadNumber, WordPos());
        return kOk;
    }
    cmd_->Stack = prog_.FindStack(Word());
    if (cmd_->Stack == nullptr) return Fail(sUnknownStack, WordPos());
    return kOk;
}

// IF condition GOTO label [ELSE label], all on one line.
int32_t TParser::IfStatement() {
    if (EndsLine()) return Fail(sConditionExpected, ScanPos());
    bool lastWasGoto = false;
    if (Condition(cmd_->Condition, lastWasGoto) != kOk) return ScanPos();

    int32_t gotoPos = WordPos();
    if (!lastWasGoto) {
        if (EndsLine()) return Fail(sGotoExpected, ScanPos());
        if (!Read()) return ScanPos();
        if (!tok_.HasWord) return Fail(sGotoExpected, ScanPos());
        if (!SameWord(Word(), "GOTO")) return Fail(sGotoExpected, WordPos());
        gotoPos = WordPos();
    }
    if (const int32_t r = LabelWord(cmd_->GotoLabel, gotoPos, kAtScan); r != kOk) return r;

    if (EndsLine()) return kOk;
    if (!Read()) return ScanPos();
    if (!tok_.HasWord) return kOk;
    if (!SameWord(Word(), "ELSE")) return Fail(sElseOrEolExpected, WordPos());

    return LabelWord(cmd_->ElseLabel, ScanPos(), kAtScan);
}

// condition := ZERO | NEG | EMPTY [stack name] | NOT condition
// A chain of NOTs is read in a loop, so its length is unbounded. Every error
// is reported at the scan position. After EMPTY the word GOTO (any case)
// always means the primary stack and is left for the IF.
int32_t TParser::Condition(TCondition*& root, bool& lastWasGoto) {
    TCondition** slot = &root;
    for (;;) {
        TCondition* node = prog_.NewCondition();
        *slot = node;
        if (!Read()) return ScanPos();
        if (!tok_.HasWord) return Fail(sConditionExpected, ScanPos());
        if (tok_.Code != tkWord) return Fail(sUnexpectedEol, ScanPos());
        const std::string_view word = Word();
        if (SameWord(word, "ZERO")) {
            node->Kind = cdZero;
        } else if (SameWord(word, "NEG")) {
            node->Kind = cdNeg;
        } else if (SameWord(word, "EMPTY")) {
            node->Kind = cdEmpty;
            if (!Read()) return ScanPos();
            if (!tok_.HasWord) return Fail(sGotoOrStackExpected, ScanPos());
            if (SameWord(Word(), "GOTO")) {
                node->Stack = prog_.FindStack(nullptr);
                lastWasGoto = true;
            } else {
                node->Stack = prog_.FindStack(Word());
                if (node->Stack == nullptr) return Fail(sUnknownStack, ScanPos());
            }
        } else if (SameWord(word, "NOT")) {
            node->Kind = cdNot;
            slot = &node->Operand;
            continue;
        } else {
            return Fail(sBadCondition, ScanPos());
        }
        return kOk;
    }
}

} // namespace

int32_t ParseProgram(std::string_view text, TProgram& program, THost& host, std::size_t maxLength) {
    if (text.size() > std::min(maxLength, MaxProgramLength)) {
        host.Error(TError{sProgramTooLong, 0, 1});
        return 0;
    }
    return TParser(text, program, host).Run();
}

} // namespace corvane
