#include "core/text_codec.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace corvane;

namespace {

std::string AllHighBytes() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

} // namespace

TEST(TextCodec, EveryHighByteRoundTripsAsWindows1250) {
    // Lone bytes >= 0x80 are no UTF-8, so the file is read as Windows-1250.
    const std::string bytes = AllHighBytes();
    const TDecodedText decoded = DecodeFile(bytes);
    ASSERT_EQ(decoded.Encoding, TEncoding::Windows1250);
    ASSERT_EQ(decoded.Text.size(), 128u);

    std::set<char16_t> distinct(decoded.Text.begin(), decoded.Text.end());
    EXPECT_EQ(distinct.size(), 128u) << "two bytes share one character";
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char16_t ch = decoded.Text[b - 0x80];
        EXPECT_EQ(Windows1250ToUnicode(static_cast<unsigned char>(b)), ch);
        EXPECT_EQ(UnicodeToWindows1250(ch), b) << std::hex << b;
    }

    TEncoding used = TEncoding::Utf8;
    EXPECT_EQ(EncodeFile(decoded.Text, decoded.Encoding, false, &used), bytes);
    EXPECT_EQ(used, TEncoding::Windows1250);
}

TEST(TextCodec, Windows1250TableLetters) {
    // The code page's characters for the bytes 0x80..0xFF, written out here
    // rather than taken from the table under test; the five unassigned bytes
    // are the control characters of the same value.
    const std::u16string expected = u"\u20AC\u0081\u201A\u0083\u201E\u2026\u2020\u2021\u0088\u2030"
                                    u"\u0160\u2039\u015A\u0164\u017D\u0179" // 0x80
                                    u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u0098\u2122"
                                    u"\u0161\u203A\u015B\u0165\u017E\u017A" // 0x90
                                    u"\u00A0\u02C7\u02D8\u0141\u00A4\u0104\u00A6\u00A7\u00A8\u00A9"
                                    u"\u015E\u00AB\u00AC\u00AD\u00AE\u017B" // 0xa0
                                    u"\u00B0\u00B1\u02DB\u0142\u00B4\u00B5\u00B6\u00B7\u00B8\u0105"
                                    u"\u015F\u00BB\u013D\u02DD\u013E\u017C" // 0xb0
                                    u"\u0154\u00C1\u00C2\u0102\u00C4\u0139\u0106\u00C7\u010C\u00C9"
                                    u"\u0118\u00CB\u011A\u00CD\u00CE\u010E" // 0xc0
                                    u"\u0110\u0143\u0147\u00D3\u00D4\u0150\u00D6\u00D7\u0158\u016E"
                                    u"\u00DA\u0170\u00DC\u00DD\u0162\u00DF" // 0xd0
                                    u"\u0155\u00E1\u00E2\u0103\u00E4\u013A\u0107\u00E7\u010D\u00E9"
                                    u"\u0119\u00EB\u011B\u00ED\u00EE\u010F" // 0xe0
                                    u"\u0111\u0144\u0148\u00F3\u00F4\u0151\u00F6\u00F7\u0159\u016F"
                                    u"\u00FA\u0171\u00FC\u00FD\u0163\u02D9"; // 0xf0
    ASSERT_EQ(expected.size(), 128u);
    EXPECT_EQ(DecodeFile(AllHighBytes()).Text, expected);
    for (int b = 0x80; b <= 0xFF; ++b)
        EXPECT_EQ(UnicodeToWindows1250(expected[b - 0x80]), b) << std::hex << b;
    EXPECT_EQ(UnicodeToWindows1250(u'A'), 'A');
    EXPECT_EQ(UnicodeToWindows1250(u'\u0080'), -1); // 0x80 is the euro sign
    EXPECT_EQ(UnicodeToWindows1250(u'\u00E0'), -1); // a grave: not in this code page
    EXPECT_EQ(UnicodeToWindows1250(u'\u4E2D'), -1);
}

TEST(TextCodec, ValidUtf8IsReadAsUtf8) {
    // Two-, three- and four-byte sequences; the last one becomes a surrogate pair.
    const std::string bytes = "a\xC5\xA1"
                              "b\xE2\x82\xAC"
                              "c\xF0\x9F\x98\x80";
    const TDecodedText decoded = DecodeFile(bytes);
    EXPECT_EQ(decoded.Encoding, TEncoding::Utf8);
    EXPECT_FALSE(decoded.ByteOrderMark);
    EXPECT_EQ(decoded.Text, u"a\u0161b\u20ACc\U0001F600");
    EXPECT_EQ(EncodeFile(decoded.Text, decoded.Encoding, decoded.ByteOrderMark), bytes);

    EXPECT_EQ(DecodeFile("").Encoding, TEncoding::Utf8);
    EXPECT_EQ(DecodeFile("SET 1").Encoding, TEncoding::Utf8);
}

TEST(TextCodec, InvalidUtf8FallsBackToWindows1250) {
    const char* const invalid[] = {
        "\xC0\xAF",         // overlong '/'
        "\xE0\x80\xAF",     // overlong, three bytes
        "\xF0\x80\x80\xAF", // overlong, four bytes
        "\xED\xA0\x80",     // surrogate U+D800
        "\xED\xBF\xBF",     // surrogate U+DFFF
        "\xF4\x90\x80\x80", // U+110000
        "\xF8\x88\x80\x80", // five-byte lead
        "\xC5",             // truncated at the end
        "\xE2\x82",         // truncated at the end
        "\xC5\x41",         // lead byte without a continuation
        "\x80",             // continuation without a lead
    };
    for (const std::string bytes : invalid) {
        const TDecodedText decoded = DecodeFile(bytes);
        EXPECT_EQ(decoded.Encoding, TEncoding::Windows1250) << testing::PrintToString(bytes);
        EXPECT_EQ(decoded.Text.size(), bytes.size());
        EXPECT_EQ(EncodeFile(decoded.Text, decoded.Encoding, false), bytes);
    }
    // The largest valid values on either side of the refused ranges stay UTF-8.
    EXPECT_EQ(DecodeFile("\xED\x9F\xBF").Text, u"\uD7FF");
    EXPECT_EQ(DecodeFile("\xF4\x8F\xBF\xBF").Encoding, TEncoding::Utf8);
}

TEST(TextCodec, ByteOrderMarkIsDroppedRememberedAndWrittenBack) {
    const std::string bytes = "\xEF\xBB\xBF"
                              "SET 1\r\nOUTPUT";
    const TDecodedText decoded = DecodeFile(bytes);
    EXPECT_EQ(decoded.Encoding, TEncoding::Utf8);
    EXPECT_TRUE(decoded.ByteOrderMark);
    EXPECT_EQ(decoded.Text, u"SET 1\r\nOUTPUT");
    EXPECT_EQ(EncodeFile(decoded.Text, decoded.Encoding, decoded.ByteOrderMark), bytes);

    // Only a leading mark counts; the same bytes later are an ordinary character.
    const TDecodedText inner = DecodeFile("a\xEF\xBB\xBF");
    EXPECT_FALSE(inner.ByteOrderMark);
    EXPECT_EQ(inner.Text, u"a\uFEFF");
}

TEST(TextCodec, LineEndsBecomeCrLf) {
    EXPECT_EQ(NormalizeLineEnds(u"a\r\nb"), u"a\r\nb");
    EXPECT_EQ(NormalizeLineEnds(u"a\nb"), u"a\r\nb");
    EXPECT_EQ(NormalizeLineEnds(u"a\rb"), u"a\r\nb");
    EXPECT_EQ(NormalizeLineEnds(u"a\n\rb"), u"a\r\n\r\nb");   // LF then CR: two breaks
    EXPECT_EQ(NormalizeLineEnds(u"a\r\r\nb"), u"a\r\n\r\nb"); // lone CR, then a pair
    EXPECT_EQ(NormalizeLineEnds(u"\r"), u"\r\n");
    EXPECT_EQ(NormalizeLineEnds(u"\n\n"), u"\r\n\r\n");
    EXPECT_EQ(NormalizeLineEnds(u""), u"");

    // The file's own text is kept: no line break is added at its end.
    EXPECT_EQ(DecodeFile("SET 1\nOUTPUT").Text, u"SET 1\r\nOUTPUT");
    EXPECT_EQ(DecodeFile("SET 1\rOUTPUT\r").Text, u"SET 1\r\nOUTPUT\r\n");
    // Line ends are normalised in 8-bit files too.
    EXPECT_EQ(DecodeFile("\xE8\n").Text, u"\u010D\r\n");
}

TEST(TextCodec, CrLfFileComesBackByteForByte) {
    for (const std::string& bytes : {std::string("STACK a\r\n:loop INPUT done\r\n// \xC5\xA1\r\n"),
                                     std::string("// \x9A\xE8\r\nOUTPUT")}) {
        const TDecodedText decoded = DecodeFile(bytes);
        EXPECT_EQ(EncodeFile(decoded.Text, decoded.Encoding, decoded.ByteOrderMark), bytes);
    }
}

TEST(TextCodec, Windows1250FallsBackToUtf8ForMissingCharacters) {
    TEncoding used = TEncoding::Windows1250;
    // U+00E0 is not in Windows-1250; the text is written as UTF-8, nothing lost.
    EXPECT_EQ(EncodeFile(u"\u010D\u00E0", TEncoding::Windows1250, false, &used),
              "\xC4\x8D\xC3\xA0");
    EXPECT_EQ(used, TEncoding::Utf8);

    EXPECT_EQ(EncodeFile(u"\U0001F600", TEncoding::Windows1250, false, &used), "\xF0\x9F\x98\x80");
    EXPECT_EQ(used, TEncoding::Utf8);

    EXPECT_EQ(EncodeFile(u"\u010D", TEncoding::Windows1250, false, &used), "\xE8");
    EXPECT_EQ(used, TEncoding::Windows1250);

    // Text without an encoding preference: new documents are UTF-8.
    EXPECT_EQ(EncodeFile(u"x\u010D", TEncoding::Utf8, false, &used), "x\xC4\x8D");
    EXPECT_EQ(used, TEncoding::Utf8);
}

TEST(TextCodec, LoneSurrogateIsWrittenAsReplacementCharacter) {
    EXPECT_EQ(EncodeFile(u"a\xD800"
                         "b",
                         TEncoding::Utf8, false),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(EncodeFile(u"\xDC00", TEncoding::Utf8, false), "\xEF\xBF\xBD");
}

TEST(TextCodec, MachineTextHasOneBytePerCodeUnit) {
    const std::u16string text = u"SET 1 // \u010D\U0001F600\r\nOUTPUT";
    const std::string machine = ToMachineText(text);
    ASSERT_EQ(machine.size(), text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x80)
            EXPECT_EQ(machine[i], static_cast<char>(text[i]));
        else
            EXPECT_GE(static_cast<unsigned char>(machine[i]), 0x80u) << i;
    }
    // No character outside ASCII may turn into an ASCII byte the parser would read.
    for (char32_t unit = 0x80; unit <= 0xFFFF; ++unit)
        ASSERT_GE(static_cast<unsigned char>(ToMachineText(std::u16string(1, char16_t(unit)))[0]),
                  0x80u);
}

TEST(TextCodec, LineColOfCountsCrLfPairs) {
    const std::string text = "ab\r\ncd\r\n\r\nx";
    //                        0123 4567 8 9 10
    struct Case {
        int64_t Position, Line, Column;
    };
    const Case cases[] = {
        {0, 1, 1},  // start of the text
        {1, 1, 2},  //
        {2, 1, 3},  // the CR at the end of line 1
        {3, 1, 4},  // the LF of that pair: the pair has not ended before it
        {4, 2, 1},  // start of line 2
        {6, 2, 3},  // end of line 2
        {8, 3, 1},  // empty line 3
        {10, 4, 1}, // last line
        {11, 4, 2}, // end of the text
    };
    for (const Case& c : cases) {
        const TLineCol lc = LineColOf(text, c.Position);
        EXPECT_EQ(lc.Line, c.Line) << c.Position;
        EXPECT_EQ(lc.Column, c.Column) << c.Position;
    }
    // A lone LF or CR is no line break for the count.
    EXPECT_EQ(LineColOf("a\nb\rc", 4).Line, 1);
    EXPECT_EQ(LineColOf("a\nb\rc", 4).Column, 5);
    // Text ending in a line break: the end of the text starts a new line.
    EXPECT_EQ(LineColOf("a\r\n", 3).Line, 2);
    EXPECT_EQ(LineColOf("a\r\n", 3).Column, 1);
    EXPECT_EQ(LineColOf("", 0).Line, 1);
    EXPECT_EQ(LineColOf("", 0).Column, 1);
}
