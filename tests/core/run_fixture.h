// Parses, links and runs programs against the test host.
#pragma once

#include "core/executor.h"
#include "core/inputlist.h"
#include "core/parser.h"
#include "core/program.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace corvane::test {

class RunFixture : public ::testing::Test {
protected:
    // Parses and links; fails the test on an error.
    void Load(const std::string& text, const std::string& input = "") {
        ASSERT_EQ(ParseProgram(text, prog, host), -1) << Last();
        ASSERT_EQ(prog.Link(host), -1) << Last();
        ASSERT_EQ(in.Parse(input), 0u);
        host.Steps = 0;
    }
    int32_t Start(int32_t mode = psRun) { return prog.Start(host, in, mode); }
    // The break window's answers: Continue, Next, Stop.
    int32_t Continue() {
        EXPECT_TRUE(prog.Move(TMove::mvContinue));
        return prog.Resume(host, in);
    }
    int32_t Next() {
        EXPECT_TRUE(prog.Move(TMove::mvNext));
        return prog.Resume(host, in);
    }
    // Runs a whole program freely and returns its output.
    std::string Output(const std::string& text, const std::string& input = "") {
        Load(text, input);
        EXPECT_EQ(Start(), -1) << Last();
        EXPECT_EQ(prog.State, psFinished);
        return host.Out;
    }
    std::string Last() const { return host.Messages.empty() ? "" : host.Messages.back(); }

    TTestHost host;
    TProgram prog;
    TInputList in;
};

} // namespace corvane::test
