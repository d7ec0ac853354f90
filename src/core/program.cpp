#include "core/program.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace corvane {

TName::TName(std::string_view text) : size_(text.size()) {
    if (size_ == 0) return;
    text_ = std::make_unique<char[]>(size_ + 1);
    std::memcpy(text_.get(), text.data(), size_);
}

namespace {
char FoldChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldChar(x) == FoldChar(y);
           });
}

std::string TProgram::Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = FoldChar(c);
    return folded;
}

TProgram::TProgram(std::size_t maxValues) : maxValues_(maxValues) {}

// Members free themselves in containers: no chain of nested destructors, so
// a program of any length goes without deep recursion.
TProgram::~TProgram() {
    ClearCommands();
    ClearLabels();
    ClearStacks();
    ClearConditions();
}

void TProgram::ClearCommands() {
    commands_.clear();
    commands_.shrink_to_fit();
    Commands = FirstCommand = Current = nullptr;
}

TCommand* TProgram::NewCommand() {
    TCommand& command = commands_.emplace_back();
    if (FirstCommand == nullptr) FirstCommand = &command;
    command.Prev = Commands;
    Commands = &command;
    return &command;
}

int32_t TProgram::FirstCommandLineFrom(int32_t line) const {
    if (line <= 0) return 0;
    for (const TCommand& command : commands_)
        if (command.Line >= line && command.Kind != ckNone) return command.Line;
    return 0;
}

void TProgram::ClearLabels() {
    labels_.clear();
}

void TProgram::AddLabel(std::string_view name, TCommand* command) {
    labels_.insert_or_assign(Fold(name), TLabelRec{std::string(name), command});
}

TCommand* TProgram::FindLabel(std::string_view name) const {
    auto it = labels_.find(Fold(name));
    return it == labels_.end() ? nullptr : it->second.Command;
}

void TProgram::ClearStacks() {
    stacks_.clear();
    stackIndex_.clear();
    valueCount_ = 0;
}

bool TProgram::AddStack(std::string_view name) {
    auto [it, inserted] = stackIndex_.try_emplace(Fold(name), nullptr);
    if (!inserted) return false;
    TStackRec& stack = stacks_.emplace_back();
    stack.Name = name;
    it->second = &stack;
    return true;
}

TStackRec* TProgram::FindStack(std::string_view name) const {
    auto it = stackIndex_.find(Fold(name));
    return it == stackIndex_.end() ? nullptr : it->second;
}

TStackRec* TProgram::StackAt(int32_t index) const {
    if (index < 0 || index >= StackCount()) return nullptr;
    return const_cast<TStackRec*>(&stacks_[stacks_.size() - 1 - static_cast<std::size_t>(index)]);
}

void TProgram::EmptyStacks() {
    for (TStackRec& stack : stacks_)
        stack.Values.clear();
    valueCount_ = 0;
}

bool TProgram::PushValue(TStackRec& stack, uint32_t value) {
    if (valueCount_ >= maxValues_) return false;
    try {
        stack.Values.push_back(value);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ++valueCount_;
    return true;
}

bool TProgram::DropValue(TStackRec& stack) {
    if (stack.Values.empty()) return false;
    stack.Values.pop_back();
    --valueCount_;
    return true;
}

bool TProgram::PopValue(TStackRec& stack, uint32_t& value) {
    if (stack.Values.empty()) return false;
    value = stack.Values.back();
    stack.Values.pop_back();
    --valueCount_;
    return true;
}

void TProgram::ClearConditions() {
    conditions_.clear();
    conditions_.shrink_to_fit();
}

TCondition* TProgram::NewCondition() {
    return &conditions_.emplace_back();
}

namespace {
// The table of moves (program.h): the states a move may start from, as a mask,
// and the state it leads to.
struct TMoveRule {
    int32_t From;
    int32_t To;
};
constexpr int32_t kAnyState = -1;
constexpr TMoveRule kMoves[] = {
    {psRun, psBreak},                       // mvBreak
    {psRun | psStep, psBreak},              // mvPause
    {psBreak, psRun},                       // mvContinue
    {psBreak, psStep},                      // mvNext
    {kAnyState, psStop},                    // mvStop
    {psRun | psStep | psBreak, psFinished}, // mvFinish
    {kAnyState, psFailed},                  // mvFail
};
} // namespace

bool TProgram::Move(TMove move) {
    const TMoveRule& rule = kMoves[static_cast<int>(move)];
    if ((State & rule.From) == 0) return false;
    State = rule.To;
    return true;
}

} // namespace corvane
