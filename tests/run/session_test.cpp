// One run under the user's control: pauses, steps, run to cursor, Back, and
// runs cut into budgeted slices that end exactly as whole runs do.
#include "core/appstrings.h"
#include "core/inputlist.h"
#include "core/program.h"
#include "run/session.h"
#include "run/stoplines.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace corvane {
namespace {

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

// The face: output as the run window shows it, and what else it hears.
class TFace final : public TRunHost {
public:
    uint32_t HookInterval() const override { return Interval; }
    void Executed(int32_t) override {
        ++Hooks;
        if (OnExecuted) OnExecuted();
    }
    void Output(uint32_t value) override { Out += SignedText(value) + " "; }
    void Error(const TError& error) override { Messages.emplace_back(Str(error.Message)); }
    void Restarted() override {
        Out.clear();
        ++Restarts;
    }
    uint32_t Interval = 0;
    long Hooks = 0;
    int Restarts = 0;
    std::string Out;
    std::vector<std::string> Messages;
    std::function<void()> OnExecuted;
};

// What a run looks like at a pause or an end, for comparing two runs.
struct TSeen {
    TRunStatus Status;
    int32_t Line;
    uint32_t WR;
    uint64_t Steps;
    std::size_t InputPos;
    std::string Out;
    std::vector<std::vector<uint32_t>> Stacks;
    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& s) {
    return out << "status " << int(s.Status) << " line " << s.Line << " WR " << s.WR << " steps "
               << s.Steps << " in " << s.InputPos << " out '" << s.Out << "'";
}

class SessionTest : public ::testing::Test {
protected:
    // Parses and links, marks the "<BREAK>" lines, reads the input, begins.
    void Load(const std::string& text, const std::string& input = "",
              TStartMode mode = TStartMode::Run, int32_t runToLine = 0) {
        ASSERT_EQ(session->Parse(text, face), -1);
        ASSERT_EQ(session->Link(face), -1);
        MarkBreakLines(text, stops);
        ASSERT_EQ(in.Parse(input), 0u);
        session->Begin(mode, runToLine);
    }
    // Goes on in slices of `budget` commands (0: one Go) to a pause or the end.
    TRunStatus Go(uint64_t budget = 0) {
        TRunStatus status;
        while ((status = session->Go(face, budget)) == TRunStatus::Running) {
            ++slices;
            if (OnSlice) OnSlice();
        }
        return status;
    }
    TSeen Seen() const {
        TSeen s{session->Status(),
                session->StopLine(),
                prog.WR,
                prog.Steps,
                in.Position(),
                face.Out,
                {}};
        for (int32_t i = 0; i < prog.StackCount(); ++i)
            s.Stacks.push_back(prog.StackAt(i)->Values);
        return s;
    }
    // Runs the script of break-window answers ('c' Continue, 'n' Next, 'b'
    // Back) and returns the line of each pause, then the end ("end" or
    // "stop"): "3 5 end".
    std::string Script(const std::string& answers, uint64_t budget = 0) {
        std::string lines;
        TRunStatus status = Go(budget);
        for (char answer : answers) {
            if (status != TRunStatus::Paused) break;
            lines += std::to_string(session->StopLine()) + " ";
            if (answer == 'c') session->Continue();
            if (answer == 'n') session->Next();
            if (answer == 'b') session->Back();
            status = Go(budget);
        }
        if (status == TRunStatus::Paused) return lines + std::to_string(session->StopLine());
        return lines + (status == TRunStatus::Finished ? "end" : "stop");
    }

    TProgram prog;
    TInputList in;
    TStopLines stops;
    // A new session and face, as for a new run.
    void Fresh() {
        session.emplace(prog, in, stops);
        face = TFace{};
    }

    std::optional<TRunSession> session{std::in_place, prog, in, stops};
    TFace face;
    long slices = 0;
    std::function<void()> OnSlice;
};

// Line numbers of the programs below: each starts at line 1.
struct TPauseCase {
    const char* Name;
    std::string Text;
    TStartMode Mode;
    int32_t RunToLine;
    std::string Answers;
    std::string Pauses;
};

const std::string kFive =
    Lines({"SET 1", "ADD 1 // <break>", "ADD 1", ":l", "", "// note", "ADD 1", "OUTPUT"});
const std::string kPlain =
    Lines({"SET 1", "ADD 1", "ADD 1", ":l", "", "// note", "ADD 1", "OUTPUT"});

TEST_F(SessionTest, PausesAsTheBreakWindowIsAnswered) {
    const TPauseCase cases[] = {
        {"a marked line pauses the run; Continue executes it", kFive, TStartMode::Run, 0, "c",
         "2 end"},
        // Continue from a step's pause on a marked line meets the mark first.
        {"Trace pauses first; Next steps; Continue stops at the mark", kFive, TStartMode::Trace, 0,
         "ncc", "1 2 2 end"},
        // A step that reaches a marked line pauses there by the step; the
        // next Next meets the mark and pauses again without executing it.
        {"Next over a marked line", kFive, TStartMode::Trace, 0, "nnnn", "1 2 2 3 7"},
        {"Run to cursor on a command line", kPlain, TStartMode::RunToCursor, 3, "c", "3 end"},
        {"Run to cursor on a label line", kPlain, TStartMode::RunToCursor, 4, "c", "7 end"},
        {"Run to cursor on a blank line", kPlain, TStartMode::RunToCursor, 5, "c", "7 end"},
        {"Run to cursor on a comment line", kPlain, TStartMode::RunToCursor, 6, "c", "7 end"},
        {"Run to cursor after the last command runs to the end", kPlain + "\r\n// end",
         TStartMode::RunToCursor, 9, "", "end"},
        // The first pause at a stop line (the mark) consumes the target.
        {"a mark before the target consumes it", kFive, TStartMode::RunToCursor, 7, "c", "2 end"},
        {"Back from a pause at a mark; the step meets the mark", kFive, TStartMode::Run, 0, "bnnnn",
         "2 1 2 2 3 7"},
        {"Trace of an empty program pauses at the end record", "", TStartMode::Trace, 0, "n",
         "-1 end"},
    };
    for (const TPauseCase& c : cases) {
        SCOPED_TRACE(c.Name);
        for (uint64_t budget : {0, 1, 2, 5}) {
            Fresh();
            Load(c.Text, "", c.Mode, c.RunToLine);
            EXPECT_EQ(Script(c.Answers, budget), c.Pauses) << "budget " << budget;
        }
    }
}

// A Break pause on a marked line: Continue pauses again on the same command
// without executing it, and the next Continue executes it.
TEST_F(SessionTest, BreakBetweenSlicesPausesBeforeTheNextCommand) {
    Load(Lines({":l ADD 1", "GOTO l // <BREAK>"}));
    stops.Set(1, false);
    OnSlice = [this] {
        if (prog.Steps >= 10) session->Break();
    };
    ASSERT_EQ(Go(3), TRunStatus::Paused);
    EXPECT_EQ(prog.Steps, 12u); // the slice ends, then the Break pauses before anything more
    EXPECT_EQ(session->StopLine(), 1);
    stops.Set(0, true);
    session->Continue();
    ASSERT_EQ(Go(3), TRunStatus::Paused);
    EXPECT_EQ(prog.Steps, 12u);
    session->Continue();
    ASSERT_EQ(Go(3), TRunStatus::Paused);
    EXPECT_EQ(prog.Steps, 14u);
}

// Every way a run ends, with slice boundaries anywhere in it: the run ends
// where and as the whole run does, its output and machine the same.
TEST_F(SessionTest, SlicesEndEveryRunAsTheWholeRunEnds) {
    struct TEndCase {
        const char* Name;
        std::string Text;
        std::string Input;
        TRunStatus Status;
    };
    const TEndCase cases[] = {
        {"runs off its end", Lines({"INPUT e", "PUSH", "OUTPUT", "SET 3", ":e", "OUTPUT"}), "7",
         TRunStatus::Finished},
        {"EXIT",
         Lines({"SET 2", ":l SUB 1", "OUTPUT", "IF ZERO GOTO x", "GOTO l", ":x EXIT", "OUTPUT"}),
         "", TRunStatus::Finished},
        {"an empty stack fails", Lines({"SET 4", "PUSH", "POP", "OUTPUT", "POP"}), "",
         TRunStatus::Failed},
        {"a zero divisor fails", Lines({"INPUT e", "OUTPUT", "DIV 0", ":e"}), "5",
         TRunStatus::Failed},
        {"the output bound stops", Lines({":l OUTPUT", "ADD 1", "GOTO l"}), "",
         TRunStatus::Stopped},
        {"a mark pauses", Lines({"SET 1", "ADD 2", "OUTPUT // <BREAK>", "SET 0"}), "",
         TRunStatus::Paused},
    };
    for (const TEndCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TSeen> ends;
        for (uint64_t budget : {0, 1, 2, 3, 4, 5, 6, 7, 8, 100}) {
            Fresh();
            session->SetOutputCapacity(30);
            Load(c.Text, c.Input);
            ASSERT_EQ(Go(budget), c.Status) << "budget " << budget;
            ends.push_back(Seen());
            EXPECT_EQ(ends.back(), ends.front()) << "budget " << budget;
        }
        EXPECT_EQ(session->OutputLimited(), c.Status == TRunStatus::Stopped);
        EXPECT_EQ(session->Failure().has_value(), c.Status == TRunStatus::Failed);
    }
}

TEST_F(SessionTest, FailuresKeepTheirMessageAndPosition) {
    EXPECT_EQ(session->Parse("SET 1\r\nFOO", face), 7);
    EXPECT_EQ(session->Status(), TRunStatus::Failed);
    EXPECT_EQ(prog.State, psFailed);
    ASSERT_TRUE(session->Failure());
    EXPECT_EQ(session->Failure()->Pos, 7);

    Load(Lines({"SET 1", "PUSH", "POP", "DIV 0"}));
    ASSERT_EQ(Go(1), TRunStatus::Failed);
    EXPECT_EQ(session->Failure()->Pos, 18);
    EXPECT_EQ(session->Failure()->Line, 4);
    EXPECT_EQ(face.Messages.back(), Str(sDivisionByZero));
    EXPECT_EQ(prog.Steps, 3u); // the failing command is not counted
}

// A budget is met exactly, whatever interval the face asks its hook at and
// wherever the last pause left the executor's count.
TEST_F(SessionTest, BudgetsAreExact) {
    for (uint32_t interval : {0u, 1u, 7u, 1024u}) {
        Fresh();
        face.Interval = interval;
        Load(Lines({"SET 0", ":l ADD 1", "GOTO l // <BREAK>"}), "", TStartMode::Trace);
        ASSERT_EQ(session->Go(face), TRunStatus::Paused);
        session->Next();
        ASSERT_EQ(session->Go(face), TRunStatus::Paused);
        stops.Set(2, false);
        session->Continue();
        uint64_t expected = prog.Steps;
        for (uint64_t budget : {1, 999, 5, 4096, 3}) {
            ASSERT_EQ(session->Go(face, budget), TRunStatus::Running);
            expected += budget;
            EXPECT_EQ(prog.Steps, expected) << "interval " << interval << " budget " << budget;
        }
        if (interval != 0) {
            EXPECT_GT(face.Hooks, long((expected - 2) / interval) - 1);
        }
    }
}

TEST_F(SessionTest, StopEndsTheRunFromAHookBetweenSlicesAndWhilePaused) {
    const std::string endless = Lines({":l ADD 1", "OUTPUT", "GOTO l"});
    // From the face's hook, as the desktop's Stop: the command completes.
    Load(endless);
    face.Interval = 10;
    face.OnExecuted = [this] { session->Stop(); };
    EXPECT_EQ(Go(), TRunStatus::Stopped);
    EXPECT_EQ(prog.Steps, 10u);
    // Between slices: at once, and Go does nothing more.
    Fresh();
    Load(endless);
    ASSERT_EQ(session->Go(face, 50), TRunStatus::Running);
    session->Stop();
    EXPECT_EQ(session->Status(), TRunStatus::Stopped);
    EXPECT_EQ(session->Go(face, 50), TRunStatus::Stopped);
    EXPECT_EQ(prog.Steps, 50u);
    EXPECT_EQ(prog.State, psStop);
    // While paused.
    Fresh();
    Load(endless, "", TStartMode::Trace);
    ASSERT_EQ(session->Go(face), TRunStatus::Paused);
    session->Stop();
    EXPECT_EQ(session->Go(face), TRunStatus::Stopped);
    EXPECT_FALSE(session->OutputLimited());
}

// A loop of random commands over two stacks; POP, DIV and ADD with a stack
// operand may meet an empty stack, which ends the stepping there.
std::string Generate(std::mt19937& random) {
    static const char* const pool[] = {"SET 5", "ADD 3",   "SUB 7",  "MUL -2", "DIV 3",
                                       "PUSH",  "PUSH A",  "POP",    "POP A",  "ADD",
                                       "DIV A", "INPUT e", "OUTPUT", "SET A",  "SUB"};
    std::ostringstream text;
    text << "STACK A\r\nSET 9\r\nPUSH\r\nPUSH\r\nPUSH A\r\nPUSH A\r\n:top\r\n";
    const int lines = 3 + static_cast<int>(random() % 12);
    for (int i = 0; i < lines; ++i)
        text << pool[random() % std::size(pool)] << (i % 4 == 0 ? " // <BREAK>\r\n" : "\r\n");
    text << "GOTO top\r\n:e\r\nOUTPUT\r\n";
    return text.str();
}

// Back K times from step N leaves the machine, the output and the paused
// line exactly as stepping forward N - K commands did, in slices or not; a
// replay ignores the marks; forward again goes on as the first time.
TEST_F(SessionTest, BackKFromNEqualsForwardNMinusK) {
    std::mt19937 random(20261208);
    int compared = 0;
    for (int round = 0; round < 60; ++round) {
        const std::string text = Generate(random);
        std::string input;
        for (int v = static_cast<int>(random() % 8); v > 0; --v)
            input += std::to_string(static_cast<int>(random() % 21) - 10) + " ";
        Fresh();
        Load(text, input, TStartMode::Trace);
        ASSERT_EQ(Go(), TRunStatus::Paused);
        std::vector<TSeen> seen{Seen()};
        for (int n = 0; n < 60; ++n) {
            session->Next();
            if (Go() != TRunStatus::Paused) break;
            if (prog.Steps == seen.back().Steps) continue; // a mark met: nothing executed
            seen.push_back(Seen());
        }
        if (session->Status() != TRunStatus::Paused) continue;
        const uint64_t budget = random() % 4; // 0: whole
        for (std::size_t k = 1; k < seen.size(); ++k) {
            ASSERT_TRUE(session->Back());
            EXPECT_EQ(Go(budget), TRunStatus::Paused);
            EXPECT_EQ(Seen(), seen[seen.size() - 1 - k]) << text << "input " << input << " k " << k;
            ++compared;
        }
        EXPECT_FALSE(session->Back()); // nothing before the first command
        session->Next();
        ASSERT_EQ(Go(budget), TRunStatus::Paused);
        EXPECT_EQ(Seen(), seen[1]);
    }
    EXPECT_GT(compared, 300) << compared;
}

TEST_F(SessionTest, BackAcrossInputAndOutputTellsWhatChanged) {
    Load(Lines({"STACK A", "INPUT e", "PUSH A", "OUTPUT // <BREAK>", "SET 12", "DIV A", ":e"}),
         "4 9", TStartMode::Trace);
    EXPECT_EQ(Script("nnnnn"), "1 2 3 4 4 5");
    EXPECT_EQ(face.Out, "4 ");
    EXPECT_EQ(session->Marks().Now().Outputs, 1u);
    EXPECT_EQ(DescribeChanges(prog, session->Marks().Before(), session->Marks().Now()),
              "printed 1 value");
    // Back over OUTPUT: the output is told again without its last value.
    ASSERT_TRUE(session->Back());
    face.OnExecuted = [this] { session->Break(); }; // a Break waits for the replay's end
    face.Interval = 1;
    ASSERT_EQ(Go(), TRunStatus::Paused);
    EXPECT_EQ(face.Restarts, 1);
    EXPECT_EQ(face.Out, "");
    EXPECT_EQ(session->StopLine(), 4);
    EXPECT_EQ(prog.Steps, 3u);
    // Back over INPUT: the value is unread again, and nothing compares.
    face.OnExecuted = nullptr;
    ASSERT_TRUE(session->Back());
    ASSERT_TRUE(session->Back() == false); // one Back at a time: the run is replaying
    ASSERT_EQ(Go(), TRunStatus::Paused);
    ASSERT_TRUE(session->Back());
    ASSERT_EQ(Go(), TRunStatus::Paused);
    EXPECT_EQ(session->StopLine(), 2);
    EXPECT_EQ(in.Position(), 0u);
    EXPECT_EQ(DescribeChanges(prog, session->Marks().Before(), session->Marks().Now()), "");
    session->Next();
    ASSERT_EQ(Go(), TRunStatus::Paused);
    EXPECT_EQ(DescribeChanges(prog, session->Marks().Before(), session->Marks().Now()),
              "WR was 0; read 1 value");
    session->Next();
    ASSERT_EQ(Go(), TRunStatus::Paused);
    EXPECT_EQ(DescribeChanges(prog, session->Marks().Before(), session->Marks().Now()),
              "pushed 4 on A");
}

TEST(StopLines, MarkerInAnyCaseMarksItsLine) {
    const std::pair<const char*, bool> lines[] = {
        {"ADD 1 // <BREAK>", true}, {"// <break>", true},
        {"<bReAk> x", true},        {"// <BREAK", false},
        {"// < BREAK>", false},     {"<<BREAK>", true},
        {"// BREAK>", false},       {"", false},
    };
    for (const auto& [line, marked] : lines)
        EXPECT_EQ(HoldsBreakMarker(line), marked) << line;
    TStopLines stops;
    MarkBreakLines("<break>\r\n\r\nx <BREAK>\r\n", stops);
    EXPECT_EQ(stops.Count(), 4);
    EXPECT_TRUE(stops.Marked(0) && !stops.Marked(1) && stops.Marked(2) && !stops.Marked(3));
}

} // namespace
} // namespace corvane
