#include "core/inputlist.h"

#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

std::vector<uint32_t> Read(TInputList& list) {
    std::vector<uint32_t> values;
    list.Rewind();
    for (uint32_t v; list.Next(v);)
        values.push_back(v);
    return values;
}

TEST(InputListTest, ReadsInOrderAndReplaysAfterRewind) {
    TInputList list;
    ASSERT_EQ(list.Parse("1 2 3"), 0u);
    EXPECT_EQ(Read(list), (std::vector<uint32_t>{1, 2, 3}));
    uint32_t v = 99;
    EXPECT_FALSE(list.Next(v));
    EXPECT_FALSE(list.Peek(v));
    EXPECT_EQ(v, 99u);
    list.Rewind();
    ASSERT_TRUE(list.Peek(v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(list.Next(v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(list.Peek(v));
    EXPECT_EQ(v, 2u);
}

TEST(InputListTest, SignsBlanksAndWrapAround) {
    struct Case {
        const char* text;
        std::vector<uint32_t> values;
    } cases[] = {
        {"", {}},
        {" \t\r\n\v\f", {}},
        {"1\r\n2\t3", {1, 2, 3}},
        {"12- 1-2 -12", {0u - 12, 0u - 12, 0u - 12}},
        {"- 5", {0u - 5}},
        {"7 -", {7}},
        {"4294967296 -1 4294967295", {0, 0xFFFFFFFFu, 0xFFFFFFFFu}},
        {"99999999999", {static_cast<uint32_t>(99999999999ull)}},
    };
    for (const Case& c : cases) {
        TInputList list;
        EXPECT_EQ(list.Parse(c.text), 0u) << c.text;
        EXPECT_EQ(Read(list), c.values) << c.text;
    }
}

TEST(InputListTest, ReportsTheFirstUnacceptedCharacterAndKeepsWhatCameBefore) {
    struct Case {
        const char* text;
        std::size_t pos;
        std::vector<uint32_t> values;
    } cases[] = {
        {"5 x", 3, {5}},   {"--5", 2, {}},     {"1,2", 2, {}},          {"+1", 1, {}},
        {"1 2.5", 4, {1}}, {"1 \xE9", 3, {1}}, {"3 4 5-6-", 8, {3, 4}},
    };
    for (const Case& c : cases) {
        TInputList list;
        EXPECT_EQ(list.Parse(c.text), c.pos) << c.text;
        EXPECT_EQ(Read(list), c.values) << c.text;
    }
}

TEST(InputListTest, ParseReplacesTheValuesAndProcessesEventsPerCharacter) {
    TInputList list;
    ASSERT_EQ(list.Parse("1 2"), 0u);
    test::TTestHost host;
    ASSERT_EQ(list.Parse("9", &host), 0u);
    EXPECT_EQ(Read(list), std::vector<uint32_t>{9});
    EXPECT_EQ(host.EventPasses, 2); // one character and the end of the text
}

TEST(InputListTest, AMillionNumbers) {
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += std::to_string(i) + ' ';
    TInputList list;
    ASSERT_EQ(list.Parse(text), 0u);
    EXPECT_EQ(list.Count(), 1000000u);
    EXPECT_EQ(list.Values().back(), 999999u);
}

} // namespace
} // namespace corvane
