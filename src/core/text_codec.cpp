#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {

namespace {

// Windows-1250, bytes 0x80..0xFF. The five bytes the code page leaves
// unassigned stand for the C1 control characters of the same value, so that
// every byte of an 8-bit file survives a read and a write.
constexpr std::array<char16_t, 128> kHighHalf = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

// The inverse of kHighHalf, sorted by character for binary search.
using TReverseEntry = std::pair<char16_t, unsigned char>;

constexpr std::array<TReverseEntry, 128> MakeReverseTable() {
    std::array<TReverseEntry, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(table.begin(), table.end());
    return table;
}

constexpr std::array<TReverseEntry, 128> kReverse = MakeReverseTable();

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes the UTF-8 sequence starting at bytes[i]. Strict: overlong forms,
// surrogates and values above U+10FFFF are refused. Returns the sequence
// length, or 0 when the bytes there are no valid UTF-8.
std::size_t DecodeUtf8At(std::string_view bytes, std::size_t i, char32_t& ch) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    const unsigned char lead = at(0);
    std::size_t length;
    char32_t min;
    if (lead < 0x80) {
        ch = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, ch = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, ch = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, ch = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(at(k))) return 0;
        ch = (ch << 6) | (at(k) & 0x3F);
    }
    if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return 0;
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    char32_t ch = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = DecodeUtf8At(bytes, i, ch);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// Precondition: IsValidUtf8(bytes).
std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    char32_t ch = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        i += DecodeUtf8At(bytes, i, ch);
        if (ch >= 0x10000) {
            ch -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(ch));
        }
    }
    return text;
}

void AppendUtf8(std::string& out, char32_t ch) {
    const auto put = [&](unsigned value) { out.push_back(static_cast<char>(value)); };
    if (ch < 0x80) {
        put(ch);
    } else if (ch < 0x800) {
        put(0xC0 | (ch >> 6));
        put(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        put(0xE0 | (ch >> 12));
        put(0x80 | ((ch >> 6) & 0x3F));
        put(0x80 | (ch & 0x3F));
    } else {
        put(0xF0 | (ch >> 18));
        put(0x80 | ((ch >> 12) & 0x3F));
        put(0x80 | ((ch >> 6) & 0x3F));
        put(0x80 | (ch & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A surrogate without its partner cannot be written as UTF-8; it becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t ch = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            ch = kReplacement;
        }
        AppendUtf8(out, ch);
    }
    return out;
}

} // namespace

char16_t Windows1250ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char16_t{byte} : kHighHalf[byte - 0x80];
}

int UnicodeToWindows1250(char16_t ch) {
    if (ch < 0x80) return ch;
    const auto it = std::lower_bound(kReverse.begin(), kReverse.end(), TReverseEntry{ch, 0});
    return it != kReverse.end() && it->first == ch ? it->second : -1;
}

std::u16string NormalizeLineEnds(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' || unit == u'\n') {
            out += u"\r\n";
            if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

TDecodedText DecodeFile(std::string_view bytes) {
    TDecodedText result;
    if (IsValidUtf8(bytes)) {
        result.Encoding = TEncoding::Utf8;
        result.ByteOrderMark = bytes.starts_with(kBom);
        if (result.ByteOrderMark) bytes.remove_prefix(kBom.size());
        result.Text = NormalizeLineEnds(Utf8ToUtf16(bytes));
    } else {
        result.Encoding = TEncoding::Windows1250;
        std::u16string text;
        text.reserve(bytes.size());
        for (const char byte : bytes)
            text.push_back(Windows1250ToUnicode(static_cast<unsigned char>(byte)));
        result.Text = NormalizeLineEnds(text);
    }
    return result;
}

std::string EncodeFile(std::u16string_view text, TEncoding encoding, bool byteOrderMark,
                       TEncoding* used) {
    if (encoding == TEncoding::Windows1250) {
        std::string out;
        out.reserve(text.size());
        bool complete = true;
        for (const char16_t unit : text) {
            const int byte = UnicodeToWindows1250(unit);
            if (byte < 0) {
                complete = false;
                break;
            }
            out.push_back(static_cast<char>(byte));
        }
        if (complete) {
            if (used) *used = TEncoding::Windows1250;
            return out;
        }
        // The code page lacks a character: UTF-8 keeps it rather than losing it.
    }
    if (used) *used = TEncoding::Utf8;
    std::string out = byteOrderMark ? std::string(kBom) : std::string();
    out += Utf16ToUtf8(text);
    return out;
}

std::string ToMachineText(std::u16string_view text) {
    std::string out;
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        out[i] = static_cast<char>(unit < 0x80 ? unit : 0x80 | (unit & 0x7F));
    }
    return out;
}

TLineCol LineColOf(std::string_view text, int64_t position) {
    TLineCol result;
    const int64_t limit = std::min<int64_t>(position, static_cast<int64_t>(text.size()));
    int64_t lineStart = 0;
    // A pair at i, i + 1 ends before the position when i + 2 <= position.
    for (int64_t i = 0; i + 2 <= limit; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++result.Line;
            lineStart = i + 2;
            ++i;
        }
    }
    result.Column = 1 + position - lineStart;
    return result;
}

} // namespace corvane
