#include "run_fixture.h"

namespace corvane {
namespace {

class LinkerTest : public test::RunFixture {
protected:
    int32_t ParseAndLink(const std::string& text) {
        EXPECT_EQ(ParseProgram(text, prog, host), -1) << Last();
        return prog.Link(host);
    }
    TCommand* At(int index) { // program order
        TCommand* c = prog.FirstCommand;
        while (index-- > 0)
            c = c->Target ? c->Target : c->ElseTarget;
        return c;
    }
};

TEST_F(LinkerTest, EndRecordOnlyLinksAtOnce) {
    EXPECT_EQ(ParseAndLink(""), -1);
    EXPECT_EQ(host.Status, "");
    EXPECT_EQ(prog.Current, prog.FirstCommand);
    EXPECT_EQ(prog.Commands->Target, nullptr);
}

TEST_F(LinkerTest, SuccessorTable) {
    ASSERT_EQ(ParseAndLink(test::Lines({"STACK s",              // 0 ckStack
                                        "INPUT end",            // 1
                                        "IF ZERO GOTO x",       // 2 no ELSE
                                        "IF NEG GOTO x ELSE y", // 3
                                        ":x GOTO y",            // 4
                                        "EXIT",                 // 5 in the middle
                                        ":y OUTPUT",            // 6 last command
                                        ":end"})),
              -1);
    TCommand* endRecord = prog.Commands;
    TCommand* c[7];
    c[6] = endRecord->Prev;
    for (int i = 6; i > 0; --i)
        c[i - 1] = c[i]->Prev;
    EXPECT_EQ(c[0]->Target, c[1]);
    EXPECT_EQ(c[1]->Target, c[2]);
    EXPECT_EQ(c[1]->ElseTarget, endRecord);
    EXPECT_EQ(c[2]->Target, c[4]);
    EXPECT_EQ(c[2]->ElseTarget, c[3]);
    EXPECT_EQ(c[3]->Target, c[4]);
    EXPECT_EQ(c[3]->ElseTarget, c[6]);
    EXPECT_EQ(c[4]->Target, c[6]);
    EXPECT_EQ(c[4]->ElseTarget, c[5]);
    EXPECT_EQ(c[5]->Target, nullptr); // EXIT: no successor although a command follows
    EXPECT_EQ(c[5]->ElseTarget, c[6]);
    EXPECT_EQ(c[6]->Target, nullptr); // last command: none before the end record
    EXPECT_EQ(c[6]->ElseTarget, endRecord);
    EXPECT_EQ(endRecord->Target, nullptr);
    EXPECT_EQ(endRecord->ElseTarget, nullptr);
    // Linking twice gives the same graph.
    EXPECT_EQ(prog.Link(host), -1);
    EXPECT_EQ(c[2]->Target, c[4]);
}

TEST_F(LinkerTest, GotoALabelAfterTheLastCommandTargetsTheEndRecord) {
    ASSERT_EQ(ParseAndLink(test::Lines({"GOTO Done", "OUTPUT", ":done"})), -1);
    EXPECT_EQ(prog.FirstCommand->Target, prog.Commands);
}

TEST_F(LinkerTest, ReportsTheMissingLabelLatestInTheSource) {
    EXPECT_EQ(ParseAndLink(test::Lines(
                  {"OUTPUT", "OUTPUT", "GOTO a", "OUTPUT", "OUTPUT", "OUTPUT", "GOTO b"})),
              48);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Label identificator not found ...");
    EXPECT_EQ(host.Status, "Line: 7");
}

TEST_F(LinkerTest, GotoLabelOfAnIfIsLookedUpBeforeItsElseLabel) {
    host.Messages.clear();
    EXPECT_EQ(ParseAndLink("OUTPUT\r\nIF ZERO GOTO a ELSE b"), 8);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(ParseAndLink(":a OUTPUT\r\nIF ZERO GOTO a ELSE b"), 11);
    EXPECT_EQ(ParseAndLink(":b\r\nINPUT c"), 4);
}

TEST_F(LinkerTest, EmptyLabelFromLoopColonIsNotLoop) {
    EXPECT_EQ(ParseAndLink("loop: SET 0\r\nGOTO loop"), 13);
    EXPECT_EQ(host.Messages.back(), "Label identificator not found ...");
}

TEST_F(LinkerTest, LaterDefinitionWins) {
    ASSERT_EQ(ParseAndLink(test::Lines({":a SET 1", ":A SET 2", "GOTO a"})), -1);
    EXPECT_EQ(prog.Commands->Prev->Target, prog.FirstCommand->Target);
}

} // namespace
} // namespace corvane
