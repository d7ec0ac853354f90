// One loaded program of the stack machine and its execution state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane {

class THost;
class TInputList;

// Run state word: exactly one of these once a run has begun. Distinct bits,
// tested both by equality and by mask.
constexpr int32_t psRun = 0x1;          // running freely
constexpr int32_t psStep = 0x2;         // execute one command, then pause
constexpr int32_t psBreak = 0x400;      // paused: the break window is due
constexpr int32_t psStop = 0x8000;      // stopped by the user (or a host's budget)
constexpr int32_t psFinished = 0x10000; // ran off the last command or executed EXIT
constexpr int32_t psFailed = 0x100000;  // parse, link or run error, or input cancelled

constexpr int32_t psRunningMask = psRun | psStep;               // Resume keeps executing
constexpr int32_t psEndedMask = psStop | psFinished | psFailed; // the run window may close

// The moves of the state word after Begin, each with who makes it. State is
// written by TProgram::Begin and TProgram::Move alone; Move refuses a move
// from any state not listed, leaving State as it was.
//
//   move        from                      to          made by
//   mvBreak     psRun                     psBreak     the run window's Break
//   mvPause     psRun, psStep             psBreak     the executor: a stop line, or a step's
//   command done mvContinue  psBreak                   psRun       the break window's Continue
//   mvNext      psBreak                   psStep      the break window's Next
//   mvStop      any                       psStop      Stop (run or break window), a host's budget
//   mvFinish    psRun, psStep, psBreak    psFinished  the executor: the program ran off its end
//   mvFail      any                       psFailed    a failed phase, cancelled input, a broken
//   condition
enum class TMove { mvBreak, mvPause, mvContinue, mvNext, mvStop, mvFinish, mvFail };

// Command kinds (TCommand::Kind).
constexpr int32_t ckNone = 0;    // record not yet given a command; does nothing
constexpr int32_t ckStack = 10;  // STACK declaration line; does nothing at run time
constexpr int32_t ckSet = 20;    // WR = operand
constexpr int32_t ckAdd = 21;    // WR = WR + operand
constexpr int32_t ckSub = 22;    // WR = WR - operand
constexpr int32_t ckMul = 23;    // WR = WR * operand
constexpr int32_t ckDiv = 24;    // WR = WR / operand, signed, truncated toward zero
constexpr int32_t ckPush = 30;   // push WR onto Stack
constexpr int32_t ckPop = 31;    // drop the top value of Stack
constexpr int32_t ckGoto = 40;   // continue at GotoLabel
constexpr int32_t ckInput = 50;  // WR = next input value; none left: continue at ElseLabel
constexpr int32_t ckOutput = 51; // print WR
constexpr int32_t ckIf = 60;     // Condition ? GotoLabel : (ElseLabel or next command)
constexpr int32_t ckExit = 100;  // end the run; also the kind of the end record

// Condition kinds (TCondition::Kind).
constexpr int32_t cdNone = 0;   // kind never set: false
constexpr int32_t cdZero = 11;  // WR == 0
constexpr int32_t cdNeg = 12;   // WR read as signed is below 0
constexpr int32_t cdEmpty = 21; // Stack holds no value
constexpr int32_t cdNot = 31;   // Operand is false

// Default bound on the values all stacks hold together.
constexpr std::size_t DefaultMaxValues = std::size_t{1} << 26;

// An owned, possibly absent copy of a name. Absent and empty are the same:
// the parser never stores an empty label word.
class TName {
public:
    TName() = default;
    explicit TName(std::string_view text);
    explicit operator bool() const { return size_ != 0; }
    std::string_view View() const { return {text_.get(), size_}; }

private:
    std::unique_ptr<char[]> text_;
    std::size_t size_ = 0;
};

// One named stack. The primary stack has the empty name.
struct TStackRec {
    std::string Name;
    std::vector<uint32_t> Values; // bottom first: Values.back() is the top

    bool Empty() const { return Values.empty(); }
};

// One node of an IF condition tree.
struct TCondition {
    int32_t Kind = cdNone;
    TStackRec* Stack = nullptr;    // cdEmpty: the tested stack
    TCondition* Operand = nullptr; // cdNot: the negated node
};

// One executable command (or the end record).
struct TCommand {
    int32_t Pos = -1;  // offset of the keyword in the source; -1 in the end record
    int32_t Line = -1; // 1-based source line; -1 in the end record
    int32_t Kind = ckNone;
    uint32_t Value = 0;              // constant operand of SET..DIV when Stack is null
    TStackRec* Stack = nullptr;      // stack operand of SET..DIV, PUSH, POP
    TCondition* Condition = nullptr; // IF: root of the condition tree
    TName GotoLabel;                 // GOTO, IF: label written after GOTO
    TName ElseLabel;                 // IF: label after ELSE; INPUT: label for no input left
    TCommand* Target = nullptr;      // regular successor (Link)
    TCommand* ElseTarget = nullptr;  // alternative successor (Link)
    TCommand* Prev = nullptr;        // preceding command in program order
};

// A label: a name for a command. A name defined twice keeps its later
// definition only.
struct TLabelRec {
    std::string Name;
    TCommand* Command = nullptr;
};

// Compares names the way labels and stacks are matched: ASCII letters without
// regard to case, every other byte exactly.
bool SameName(std::string_view a, std::string_view b);

class TProgram {
public:
    explicit TProgram(std::size_t maxValues = DefaultMaxValues);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    int32_t State = psFinished;       // the run state word; written by Begin and Move only
    uint32_t WR = 0;                  // the working register
    TCommand* Commands = nullptr;     // newest command: the end record after a complete parse
    TCommand* Current = nullptr;      // next command to execute; Link's walking cursor
    TCommand* FirstCommand = nullptr; // first command in program order; a run starts here
    // When set, the next loop test of Resume skips the stop test, so a command
    // at which a run paused because of a stop line gets executed.
    bool SkipBreakCheck = false;

    // Commands.
    void ClearCommands();
    TCommand* NewCommand();
    std::size_t CommandCount() const { return commands_.size(); }
    // The Line of the first command on the 1-based `line` or after it; 0 when
    // there is none (a label, a comment or a blank line names the next command).
    int32_t FirstCommandLineFrom(int32_t line) const;

    // Labels: a name defined twice resolves to its later definition.
    void ClearLabels();
    void AddLabel(std::string_view name, TCommand* command);
    TCommand* FindLabel(std::string_view name) const;

    // Stacks, listed newest first: StackAt(StackCount() - 1) is the primary stack.
    void ClearStacks();
    bool AddStack(std::string_view name);
    TStackRec* FindStack(std::string_view name) const;
    TStackRec* FindStack(std::nullptr_t) const { return FindStack(std::string_view{}); }
    int32_t StackCount() const { return static_cast<int32_t>(stacks_.size()); }
    TStackRec* StackAt(int32_t index) const;

    // Values. PushValue fails once all stacks together hold the bound given at
    // construction (or memory runs out); DropValue and PopValue fail on an
    // empty stack. The executor reports what a failure means.
    bool PushValue(TStackRec& stack, uint32_t value);
    bool DropValue(TStackRec& stack);
    bool PopValue(TStackRec& stack, uint32_t& value);
    std::size_t ValueCount() const { return valueCount_; }
    // Every stack emptied, as the parser leaves them: a run started again.
    void EmptyStacks();

    // Condition nodes, owned by the program.
    void ClearConditions();
    TCondition* NewCondition();

    // The state word's moves (table above).
    void Begin(int32_t mode) { State = mode; }
    bool Move(TMove move);

    // Resolves label names into successors; -1 or the Pos of the command
    // naming a missing label, reported through host.Error.
    int32_t Link(THost& host);

    // Executor (executor.h): -1, or the Pos of the failing command, reported
    // through host.Error. Steps counts the commands executed since Start.
    template <class Host>
    int32_t Start(Host& host, TInputList& input, int32_t mode);
    template <class Host>
    int32_t Resume(Host& host, TInputList& input);
    // The value of a condition tree with the working register wr; a broken
    // tree reports its error through host, and a missing node fails the run.
    bool Evaluate(const TCondition* node, uint32_t wr, THost& host);
    uint64_t Steps = 0;

private:
    static std::string Fold(std::string_view name);
    // The operand of SET..DIV: the constant, or the value popped off its
    // stack; false when that stack is empty.
    bool Operand(const TCommand& c, uint32_t& value) {
        if (c.Stack == nullptr) {
            value = c.Value;
            return true;
        }
        return PopValue(*c.Stack, value);
    }
    // The executor's condition test with the working register in hand: the
    // plain conditions inline (false when the node needs Evaluate), the rest,
    // broken trees included, through Evaluate, which may fail the run.
    static bool TestPlain(const TCondition* node, uint32_t wr, bool& holds) {
        if (node == nullptr) return false;
        if (node->Kind == cdZero)
            holds = wr == 0;
        else if (node->Kind == cdNeg)
            holds = static_cast<int32_t>(wr) < 0;
        else
            return false;
        return true;
    }

    std::deque<TCommand> commands_;                     // program order
    std::unordered_map<std::string, TLabelRec> labels_; // folded name -> latest definition
    std::deque<TStackRec> stacks_;                      // declaration order
    std::unordered_map<std::string, TStackRec*> stackIndex_;
    std::deque<TCondition> conditions_;
    std::size_t maxValues_;
    uint32_t hookCountdown_ = 0; // commands to the next hook call; 0: a whole interval
    std::size_t valueCount_ = 0;
};

} // namespace corvane
