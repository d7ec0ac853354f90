#include "core/program.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ProgramTest, StacksAreListedNewestFirstAndMatchedWithoutCase) {
    TProgram p;
    ASSERT_TRUE(p.AddStack(""));
    ASSERT_TRUE(p.AddStack("Acc"));
    EXPECT_FALSE(p.AddStack("aCC"));
    EXPECT_EQ(p.StackCount(), 2);
    EXPECT_EQ(p.FindStack("ACC"), p.StackAt(0));
    EXPECT_EQ(p.FindStack(nullptr), p.StackAt(1));
    EXPECT_EQ(p.FindStack(""), p.StackAt(1));
    EXPECT_EQ(p.StackAt(2), nullptr);
    EXPECT_EQ(p.StackAt(-1), nullptr);
    EXPECT_EQ(p.StackAt(0)->Name, "Acc");
    // Only ASCII letters fold.
    EXPECT_TRUE(SameName("a_1Z", "A_1z"));
    EXPECT_FALSE(SameName("\xE9", "\xC9"));
    EXPECT_FALSE(SameName("ab", "abc"));
}

TEST(ProgramTest, ValuesAreLastInFirstOutAndEmptyStacksFail) {
    TProgram p;
    p.AddStack("");
    TStackRec& s = *p.FindStack(nullptr);
    ASSERT_TRUE(p.PushValue(s, 0xFFFFFFFFu));
    ASSERT_TRUE(p.PushValue(s, 2));
    uint32_t v = 0;
    ASSERT_TRUE(p.PopValue(s, v));
    EXPECT_EQ(v, 2u);
    ASSERT_TRUE(p.DropValue(s));
    EXPECT_TRUE(s.Empty());
    v = 42;
    EXPECT_FALSE(p.PopValue(s, v));
    EXPECT_EQ(v, 42u);
    EXPECT_FALSE(p.DropValue(s));
    EXPECT_EQ(p.ValueCount(), 0u);
}

TEST(ProgramTest, CommandListAndLabels) {
    TProgram p;
    TCommand* a = p.NewCommand();
    TCommand* b = p.NewCommand();
    EXPECT_EQ(p.FirstCommand, a);
    EXPECT_EQ(p.Commands, b);
    EXPECT_EQ(b->Prev, a);
    EXPECT_EQ(a->Pos, -1);
    EXPECT_EQ(a->Line, -1);
    EXPECT_EQ(a->Kind, ckNone);
    p.AddLabel("x", a);
    p.AddLabel("X", b);
    EXPECT_EQ(p.FindLabel("x"), b); // the later definition wins
    EXPECT_EQ(p.FindLabel("y"), nullptr);
    p.ClearCommands();
    EXPECT_EQ(p.Commands, nullptr);
    EXPECT_EQ(p.FirstCommand, nullptr);
    EXPECT_EQ(p.Current, nullptr);
}

// Every move from every state: the moves a window or the executor makes are
// the only ones that change the state word.
TEST(ProgramTest, StateMovesFollowTheirTable) {
    const int32_t states[] = {psRun, psStep, psBreak, psStop, psFinished, psFailed};
    struct TRule {
        TMove Move;
        int32_t From; // mask of the states it may start from; -1 any
        int32_t To;
    };
    const TRule rules[] = {
        {TMove::mvBreak, psRun, psBreak},
        {TMove::mvPause, psRun | psStep, psBreak},
        {TMove::mvContinue, psBreak, psRun},
        {TMove::mvNext, psBreak, psStep},
        {TMove::mvStop, -1, psStop},
        {TMove::mvFinish, psRun | psStep | psBreak, psFinished},
        {TMove::mvFail, -1, psFailed},
    };
    for (const TRule& rule : rules) {
        for (const int32_t from : states) {
            TProgram p;
            p.Begin(from);
            const bool allowed = (from & rule.From) != 0;
            EXPECT_EQ(p.Move(rule.Move), allowed) << static_cast<int>(rule.Move) << " " << from;
            EXPECT_EQ(p.State, allowed ? rule.To : from);
        }
    }
}

} // namespace
} // namespace corvane
