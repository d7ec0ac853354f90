#include "core/parser.h"

#include "core/appstrings.h"
#include "core/program.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

using test::Lines;
using test::TTestHost;

struct TParseResult {
    int32_t Result;
    std::vector<std::string> Messages;
};

class ParserTest : public ::testing::Test {
protected:
    TParseResult Parse(const std::string& text) {
        host.reset(); // error sinks nest: the old one must go first
        host = std::make_unique<TTestHost>();
        const int32_t r = ParseProgram(text, prog, *host);
        return {r, host->Messages};
    }
    // Commands in program order, the end record excluded.
    std::vector<TCommand*> Commands() {
        std::vector<TCommand*> list;
        for (TCommand* c = prog.Commands ? prog.Commands->Prev : nullptr; c; c = c->Prev)
            list.insert(list.begin(), c);
        return list;
    }
    // The one command of a one-statement program (a blank record otherwise).
    TCommand& Only() {
        static TCommand none;
        auto list = Commands();
        if (list.size() != 1u) {
            ADD_FAILURE() << list.size() << " commands instead of one";
            none = TCommand{};
            return none;
        }
        return *list[0];
    }

    TProgram prog;
    std::unique_ptr<TTestHost> host;
};

TEST_F(ParserTest, EmptyTextGivesPrimaryStackAndEndRecord) {
    EXPECT_EQ(Parse("").Result, -1);
    EXPECT_EQ(prog.StackCount(), 1);
    EXPECT_EQ(prog.StackAt(0)->Name, "");
    ASSERT_NE(prog.Commands, nullptr);
    EXPECT_EQ(prog.Commands, prog.FirstCommand);
    EXPECT_EQ(prog.Commands->Kind, ckExit);
    EXPECT_EQ(prog.Commands->Pos, -1);
    EXPECT_EQ(prog.Commands->Line, -1);
    EXPECT_EQ(host->Status, "");
}

TEST_F(ParserTest, WorkedExample) {
    const auto r = Parse(Lines(
        {"STACK acc", ":loop INPUT done", "PUSH acc", "GOTO loop", ":done SET acc", "OUTPUT"}));
    ASSERT_EQ(r.Result, -1) << (r.Messages.empty() ? "" : r.Messages[0]);
    const auto list = Commands();
    ASSERT_EQ(list.size(), 6u);
    const int32_t kinds[] = {ckStack, ckInput, ckPush, ckGoto, ckSet, ckOutput};
    const int32_t positions[] = {0, 17, 29, 39, 56, 65};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(list[i]->Kind, kinds[i]) << i;
        EXPECT_EQ(list[i]->Pos, positions[i]) << i;
        EXPECT_EQ(list[i]->Line, static_cast<int32_t>(i + 1)) << i;
    }
    TStackRec* acc = prog.FindStack("acc");
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(list[1]->ElseLabel.View(), "done");
    EXPECT_EQ(list[2]->Stack, acc);
    EXPECT_EQ(list[3]->GotoLabel.View(), "loop");
    EXPECT_EQ(list[4]->Stack, acc);
    EXPECT_EQ(prog.FindLabel("LOOP"), list[1]);
    EXPECT_EQ(prog.FindLabel("done"), list[4]);
    EXPECT_EQ(prog.StackAt(0), acc);
    EXPECT_EQ(prog.StackAt(1), prog.FindStack(nullptr));
}

TEST_F(ParserTest, KeywordsIgnoreCaseAndOperandsFillTheRightFields) {
    ASSERT_EQ(Parse(Lines({"STACK s", "set 5", "Set s", "ADD", "push", "POP s", "mul -1", "div 7",
                           "sub 3", "exit"}))
                  .Result,
              -1);
    const auto l = Commands();
    ASSERT_EQ(l.size(), 10u);
    TStackRec* s = prog.FindStack("S");
    TStackRec* primary = prog.FindStack("");
    EXPECT_EQ(l[1]->Kind, ckSet);
    EXPECT_EQ(l[1]->Stack, nullptr);
    EXPECT_EQ(l[1]->Value, 5u);
    EXPECT_EQ(l[2]->Stack, s);
    EXPECT_EQ(l[3]->Kind, ckAdd);
    EXPECT_EQ(l[3]->Stack, primary);
    EXPECT_EQ(l[4]->Kind, ckPush);
    EXPECT_EQ(l[4]->Stack, primary);
    EXPECT_EQ(l[5]->Stack, s);
    EXPECT_EQ(l[6]->Value, 0xFFFFFFFFu);
    EXPECT_EQ(l[7]->Kind, ckDiv);
    EXPECT_EQ(l[8]->Kind, ckSub);
    EXPECT_EQ(l[9]->Kind, ckExit);
}

TEST_F(ParserTest, NumberLiterals) {
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"SET -5", 0xFFFFFFFBu},
        {"SET -MAX", 0x3FFFFFFFu},
        {"SET -min", 0xC0000000u},
        {"SET 4294967296", 0u},
        {"SET 4294967295", 0xFFFFFFFFu},
        {"SET -2147483648", 0x80000000u},
        {"SET 007", 7u},
        {"SET -0", 0u},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Parse(c.text).Result, -1) << c.text;
        EXPECT_EQ(Only().Value, c.value) << c.text;
        EXPECT_EQ(Only().Stack, nullptr) << c.text;
    }
}

struct ErrorCase {
    const char* name;
    std::string text;
    const char* message;
    int32_t pos;
};

class ParserErrorTest : public ParserTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ParserErrorTest, ReportsOneMessageAtItsPosition) {
    const ErrorCase& c = GetParam();
    const auto r = Parse(c.text);
    EXPECT_EQ(r.Result, c.pos);
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_EQ(r.Messages[0], c.message);
}

const char* const kChar = "Unrecognized character ...";
const char* const kExpr = "Unrecognized expression ...";
const char* const kNumber = "Valid integer number expected ...";
const char* const kEol = "End of line expected ...";
const char* const kLabel = "Label identificator expected ...";
const char* const kUnknown = "Unknown stack identificator ...";
const char* const kIllegal = "Illegal stack identificator ...";
const char* const kGoto = "GOTO expected ...";

INSTANTIATE_TEST_SUITE_P(
    Messages, ParserErrorTest,
    ::testing::Values(
        // Tokeniser: the scan position is on the offending character.
        ErrorCase{"FirstCharacter", "?", kChar, 0},
        ErrorCase{"MinusInsideWord", "SET 5-3", kChar, 5},
        ErrorCase{"PlusSign", "SET +5", kChar, 4}, ErrorCase{"SingleSlash", "OUTPUT / x", kChar, 7},
        ErrorCase{"SingleSlashAtEnd", "OUTPUT /", kChar, 7},
        ErrorCase{"MinusAfterColon", ":-a SET 1", kChar, 1},
        ErrorCase{"HighByteOutsideComment", "SET 1 \xE9", kChar, 6},
        ErrorCase{"ErrorOnLaterLine", Lines({"SET 1", "SET 2", "SET ;"}), kChar, 18},
        // Statements: at the word.
        ErrorCase{"UnknownKeyword", "FOO", kExpr, 0},
        ErrorCase{"StackNotUnique", "STACK a A", "Each stack identificator must be unique ...", 8},
        ErrorCase{"StackNameWithDigit", "STACK 1a", kIllegal, 6},
        ErrorCase{"StackNameWithMinus", "STACK -a", kIllegal, 6},
        ErrorCase{"SecondStackLine", Lines({"STACK", "STACK"}),
                  "STACK command allowed only at the beginning ...", 7},
        ErrorCase{"StackAfterLabel", ":L STACK a",
                  "STACK command allowed only at the beginning ...", 3},
        ErrorCase{"StackAfterCommand", Lines({"OUTPUT", "STACK a"}),
                  "STACK command allowed only at the beginning ...", 8},
        ErrorCase{"BadNumber", "SET 5x", kNumber, 4}, ErrorCase{"LoneMinus", "SET -", kNumber, 4},
        ErrorCase{"MinusWord", "ADD -x", kNumber, 4},
        ErrorCase{"PushNumber", "PUSH 5", kIllegal, 5},
        ErrorCase{"PopMinus", "POP -a", kIllegal, 4},
        ErrorCase{"UnknownOperandStack", "SET x", kUnknown, 4},
        ErrorCase{"WordAfterOutput", "OUTPUT x", kEol, 7},
        ErrorCase{"WordAfterOperand", "SET 5 6", kEol, 6},
        ErrorCase{"InputWithoutLabel", "INPUT", kLabel, 0},
        ErrorCase{"InputWithBlankOnly", "INPUT ", kLabel, 0},
        ErrorCase{"GotoMinusLabel", "GOTO -x", kLabel, 5},
        // IF: the steps of its statement.
        ErrorCase{"IfAlone", "IF", "Condition expected ...", 2},
        ErrorCase{"IfBlank", "IF ", "Condition expected ...", 3},
        ErrorCase{"ConditionEndsLine", "IF ZERO", "Unexpected end of line ...", 7},
        ErrorCase{"NotEndsLine", "IF NOT", "Unexpected end of line ...", 6},
        ErrorCase{"BadCondition", "IF FOO GOTO a", "Unrecognized condition ...", 7},
        ErrorCase{"EmptyThenNothing", "IF EMPTY ", "GOTO or stack identificator expected ...", 9},
        ErrorCase{"EmptyUnknownStack", "IF EMPTY x GOTO a", kUnknown, 11},
        ErrorCase{"ThenInsteadOfGoto", "IF ZERO THEN a", kGoto, 8},
        ErrorCase{"GotoOnNextLine", Lines({"STACK s", "IF EMPTY s", "GOTO a"}), kGoto, 21},
        ErrorCase{"NoGotoAfterBlank", "IF ZERO ", kGoto, 8},
        ErrorCase{"LabelOnNextLine", Lines({"IF EMPTY GOTO", "a"}), kLabel, 9},
        ErrorCase{"GotoEndsLine", "IF ZERO GOTO", kLabel, 8},
        ErrorCase{"GotoThenBlank", "IF ZERO GOTO ", kLabel, 13},
        ErrorCase{"GotoMinus", "IF ZERO GOTO -a", kLabel, 13},
        ErrorCase{"NotElse", "IF ZERO GOTO a THEN", "ELSE or end of line expected ...", 15},
        ErrorCase{"ElseEndsLine", "IF ZERO GOTO a ELSE", kLabel, 19},
        ErrorCase{"ElseBlank", "IF ZERO GOTO a ELSE ", kLabel, 20},
        ErrorCase{"ElseMinus", "IF ZERO GOTO a ELSE -b", kLabel, 20},
        ErrorCase{"ElseGotoLabel", "IF ZERO GOTO a ELSE GOTO b", kEol, 25},
        ErrorCase{"GotoStackThenLabel", Lines({"STACK goto", "IF EMPTY goto GOTO a"}),
                  "ELSE or end of line expected ...", 31},
        // Colon-words after the first token of a line are plain words.
        ErrorCase{"ColonWordAfterOperand", "SET 5 :x", kEol, 7},
        ErrorCase{"SecondLabelIsAWord", ":a :b SET 1", kExpr, 4},
        ErrorCase{"ColonWordStatement", "SET :x", kUnknown, 5}),
    [](const ::testing::TestParamInfo<ErrorCase>& p) { return p.param.name; });

TEST_F(ParserTest, StackLineRules) {
    EXPECT_EQ(Parse("STACK").Result, -1);
    EXPECT_EQ(Parse(Lines({"// intro", "", "STACK a b", "PUSH a"})).Result, -1);
    EXPECT_EQ(prog.StackCount(), 3);
    EXPECT_EQ(prog.StackAt(0)->Name, "b");
    EXPECT_EQ(prog.StackAt(2)->Name, "");
    // Keywords are reserved only as the first word of a statement.
    ASSERT_EQ(Parse(Lines({"STACK SET", "SET set"})).Result, -1);
    EXPECT_EQ(Commands()[1]->Stack, prog.FindStack("SET"));
}

TEST_F(ParserTest, CommentsAndBlanks) {
    EXPECT_EQ(Parse("OUTPUT // show").Result, -1);
    EXPECT_EQ(Parse("OUTPUT//show").Result, -1);
    EXPECT_EQ(Parse(Lines({"// \xE9\xFF any byte", "\t SET\t1\t", "", "OUTPUT // <BREAK>"})).Result,
              -1);
    const auto l = Commands();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0]->Line, 2);
    EXPECT_EQ(l[1]->Line, 4);
}

TEST_F(ParserTest, LoneLineFeedIsABlank) {
    ASSERT_EQ(Parse("SET\n5\r\nOUTPUT").Result, -1);
    const auto l = Commands();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0]->Value, 5u);
    EXPECT_EQ(l[1]->Line, 2);
    const auto r = Parse("SET 1\nSET 2");
    EXPECT_EQ(r.Result, 6);
    EXPECT_EQ(r.Messages.at(0), kEol);
}

TEST_F(ParserTest, IfForms) {
    ASSERT_EQ(Parse(Lines({"STACK s", "IF ZERO GOTO a ELSE b", "IF NOT NOT NEG GOTO a",
                           "IF EMPTY GOTO a", "IF EMPTY s GOTO a", "if zero goto 12 ", ":a", ":b"}))
                  .Result,
              -1);
    const auto l = Commands();
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[1]->Condition->Kind, cdZero);
    EXPECT_EQ(l[1]->GotoLabel.View(), "a");
    EXPECT_EQ(l[1]->ElseLabel.View(), "b");
    const TCondition* c = l[2]->Condition;
    EXPECT_EQ(c->Kind, cdNot);
    EXPECT_EQ(c->Operand->Kind, cdNot);
    EXPECT_EQ(c->Operand->Operand->Kind, cdNeg);
    EXPECT_FALSE(l[2]->ElseLabel);
    EXPECT_EQ(l[3]->Condition->Stack, prog.FindStack(nullptr));
    EXPECT_EQ(l[4]->Condition->Stack, prog.FindStack("s"));
    EXPECT_EQ(l[5]->GotoLabel.View(), "12");
}

TEST_F(ParserTest, GotoAfterEmptyAlwaysMeansThePrimaryStack) {
    ASSERT_EQ(Parse(Lines({"STACK goto", "IF EMPTY Goto x"})).Result, -1);
    EXPECT_EQ(Commands()[1]->Condition->Stack, prog.FindStack(nullptr));
    EXPECT_EQ(Commands()[1]->GotoLabel.View(), "x");
}

TEST_F(ParserTest, LabelDefinitions) {
    // A label alone carries over blank lines to the next statement.
    ASSERT_EQ(Parse(Lines({":a", "", ":b SET 1", ":c", "OUTPUT", ":end "})).Result, -1);
    const auto l = Commands();
    EXPECT_EQ(prog.FindLabel("a"), l[0]);
    EXPECT_EQ(prog.FindLabel("b"), l[0]);
    EXPECT_EQ(prog.FindLabel("c"), l[1]);
    EXPECT_EQ(prog.FindLabel("end"), prog.Commands);
    // Characters before the colon are dropped: "loop:" defines the empty name.
    ASSERT_EQ(Parse("loop: SET 0").Result, -1);
    EXPECT_EQ(prog.FindLabel(""), &Only());
    EXPECT_EQ(prog.FindLabel("loop"), nullptr);
    EXPECT_EQ(Only().Kind, ckSet);
}

TEST_F(ParserTest, LabelFirstOnItsLineWhateverEndsIt) {
    ASSERT_EQ(Parse(Lines({"GOTO done", ":done"})).Result, -1);
    EXPECT_EQ(prog.FindLabel("done"), prog.Commands);
    ASSERT_EQ(Parse(Lines({"GOTO x", ":x// comment", "a:"})).Result, -1);
    EXPECT_EQ(prog.FindLabel("x"), prog.Commands);
    EXPECT_EQ(prog.FindLabel(""), prog.Commands);
}

TEST_F(ParserTest, ColonWordInsideALineIsAPlainWordAndKeepsLineNumbers) {
    ASSERT_EQ(Parse(Lines({"GOTO :loop", "GOTO :loop ", "GOTO x:y", "IF ZERO GOTO :a ELSE :b",
                           "SET 5 : ", "OUTPUT"}))
                  .Result,
              -1);
    const auto l = Commands();
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[0]->GotoLabel.View(), "loop");
    EXPECT_EQ(l[1]->GotoLabel.View(), "loop");
    EXPECT_EQ(l[2]->GotoLabel.View(), "y");
    EXPECT_EQ(l[3]->GotoLabel.View(), "a");
    EXPECT_EQ(l[3]->ElseLabel.View(), "b");
    for (std::size_t i = 0; i < l.size(); ++i)
        EXPECT_EQ(l[i]->Line, static_cast<int32_t>(i + 1));
    for (const char* word : {"loop", "x", "y", "a", "b", ""})
        EXPECT_EQ(prog.FindLabel(word), nullptr) << word;
}

TEST_F(ParserTest, LongInputsParseWithoutDeepRecursion) {
    std::string nots = "IF ";
    for (int i = 0; i < 100000; ++i)
        nots += "NOT ";
    nots += "ZERO GOTO a\r\n:a";
    ASSERT_EQ(Parse(nots).Result, -1);
    EXPECT_EQ(prog.Evaluate(Commands()[0]->Condition, prog.WR, *host),
              true); // an even count of NOTs, WR = 0
    const std::string word(200000, 'w');
    ASSERT_EQ(Parse("GOTO " + word).Result, -1);
    EXPECT_EQ(Only().GotoLabel.View().size(), word.size());
}

TEST_F(ParserTest, ProgressNamesTheLineAndReparseStartsFromScratch) {
    long steps = 0;
    ASSERT_EQ(Parse(Lines({"STACK a", "PUSH a", "PUSH a"})).Result, -1);
    steps = host->ProgressCalls;
    EXPECT_EQ(steps, 4); // line 1 before the first line, then after each line
    const auto r = Parse(Lines({"SET 1", "SET x"}));
    EXPECT_EQ(r.Result, 11);
    EXPECT_EQ(host->Status, "Line: 2");
    // A host that shows progress only now and then still shows the failing
    // line while the message is up, for every kind of error.
    for (const char* bad : {"SET ;", "SET 5x", "FOO", "IF ZERO"}) {
        host.reset();
        host = std::make_unique<TTestHost>();
        host->Throttled = true;
        ParseProgram(Lines({"SET 1", "", bad}), prog, *host);
        EXPECT_EQ(host->StatusAtMessages, std::vector<std::string>{"Line: 3"}) << bad;
    }
    EXPECT_EQ(prog.FindStack("a"), nullptr);
}

} // namespace
} // namespace corvane

namespace corvane {
namespace {

// Positions are 32-bit: a longer text is refused before parsing, at position
// 0, with its own message; the bound is lowered here instead of allocating 2 GiB.
TEST(ParserLength, TextLongerThanPositionsCanHoldIsRefused) {
    TProgram prog;
    const std::string text = Lines({"SET 1", "OUTPUT"}); // 13 characters
    {
        test::TTestHost host;
        EXPECT_EQ(ParseProgram(text, prog, host, text.size()), -1);
        EXPECT_TRUE(host.Messages.empty());
    }
    test::TTestHost host;
    EXPECT_EQ(ParseProgram(text, prog, host, text.size() - 1), 0);
    EXPECT_EQ(host.Messages, std::vector<std::string>{Str(sProgramTooLong)});
    EXPECT_EQ(std::string(Str(sProgramTooLong)),
              "Program too long: at most 2147483646 characters can be run ...");
    EXPECT_EQ(MaxProgramLength, 2147483646u); // the last position plus one still fits
}

// Run To Cursor on a line without a command runs to the next command.
TEST(ProgramLines, FirstCommandOnOrAfterALine) {
    TProgram prog;
    test::TTestHost host;
    const std::string text =
        Lines({"STACK a", "SET 1", ":loop", "// note", "", "OUTPUT", ":tail // x", ""});
    ASSERT_EQ(ParseProgram(text, prog, host), -1);
    EXPECT_EQ(prog.FirstCommandLineFrom(0), 0);
    EXPECT_EQ(prog.FirstCommandLineFrom(1), 1);
    EXPECT_EQ(prog.FirstCommandLineFrom(2), 2);
    for (int line : {3, 4, 5, 6})
        EXPECT_EQ(prog.FirstCommandLineFrom(line), 6) << line;
    for (int line : {7, 8, 9})
        EXPECT_EQ(prog.FirstCommandLineFrom(line), 0) << line;
}

TEST(AppStrings, OutputLimitNamesTheValues) {
    EXPECT_EQ(OutputLimitText(2796203),
              "Output limit reached: the run was stopped after 2796203 values ...");
}

} // namespace
} // namespace corvane
