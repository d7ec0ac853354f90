// File text <-> editor text <-> machine text, without any toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// How a file's bytes were read, so that saving writes them back the same way.
enum class TEncoding {
    Utf8,        // valid UTF-8 (also the encoding of new documents)
    Windows1250, // anything else: one byte, one character
};

struct TDecodedText {
    std::u16string Text; // editor text, every line end turned into CR LF
    TEncoding Encoding = TEncoding::Utf8;
    bool ByteOrderMark = false; // the file began with a UTF-8 byte-order mark
};

// Decodes a file: UTF-8 when the bytes are valid UTF-8 (a leading byte-order
// mark dropped and remembered), else Windows-1250; then every CR LF, lone CR
// and lone LF becomes one CR LF.
TDecodedText DecodeFile(std::string_view bytes);

// Encodes editor text as it stands (no line end conversion). Windows-1250 text
// holding a character that code page lacks is written as UTF-8 instead;
// `used` (when given) receives the encoding actually written.
std::string EncodeFile(std::u16string_view text, TEncoding encoding, bool byteOrderMark,
                       TEncoding* used = nullptr);

// Every CR LF pair, lone CR and lone LF becomes one CR LF.
std::u16string NormalizeLineEnds(std::u16string_view text);

// Windows-1250 byte <-> UTF-16 code unit. The five bytes the code page leaves
// unassigned (0x81 0x83 0x88 0x90 0x98) map to the control characters of the same value.
char16_t Windows1250ToUnicode(unsigned char byte);
// The byte for a character, or -1 when Windows-1250 has none.
int UnicodeToWindows1250(char16_t ch);

// Machine text: one byte per editor character (UTF-16 code unit), ASCII as
// itself, every other character as a byte from 0x80 up, so that positions in
// the machine text are positions in the editor text.
std::string ToMachineText(std::u16string_view text);

// 1-based line and column of a source position in text with CR LF line breaks:
// the line is 1 + the CR LF pairs that end before the position, the column
// 1 + the position - the index just after the last of those pairs.
struct TLineCol {
    int64_t Line = 1;
    int64_t Column = 1;
};
TLineCol LineColOf(std::string_view text, int64_t position);

} // namespace corvane
