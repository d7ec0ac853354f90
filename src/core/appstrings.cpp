#include "core/appstrings.h"

#include <charconv>

namespace corvane {

const char* const StringTable[sStringCount] = {
    "Corvane 1.4.beta",
    "Untitled",
    "Save changes to ?",
    "Corvane files (*.cv)|*.cv|All files (*.*)|*.*",
    "cv",
    "Mod",
    "Cannot allocate memory ...",
    "Parsing program ...",
    "Unrecognized character ...",
    "Unrecognized expression ...",
    "STACK command allowed only at the beginning ...",
    "Valid integer number expected ...",
    "Unknown stack identificator ...",
    "Illegal stack identificator ...",
    "End of line expected ...",
    "Label identificator expected ...",
    "Each stack identificator must be unique ...",
    "Unrecognized condition ...",
    "Condition expected ...",
    "Unexpected end of line ...",
    "GOTO or stack identificator expected ...",
    "GOTO expected ...",
    "ELSE or end of line expected ...",
    "Linking program ...",
    "Line: ",
    "Label identificator not found ...",
    "Waiting for input ...",
    "Running program ...",
    "Can not close this window, while the program is running.",
    "Internal error: Illegal condition pointer!",
    "Division by zero ...",
    "Stack is empty! Cannot read value ...",
    "Program too long: at most 2147483646 characters can be run ...",
    "Output limit reached: the run was stopped after %d values ...",
};

std::string LineText(int line) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, line);
    (void)ec;
    std::string text(Str(sLinePrefix));
    text.append(digits, end);
    return text;
}

std::string_view SignedText(uint32_t value, char (&buffer)[kSignedDigits]) {
    const auto end = std::to_chars(buffer, buffer + kSignedDigits, static_cast<int32_t>(value)).ptr;
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

std::string OutputLimitText(unsigned long long values) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, values);
    (void)ec;
    std::string text(Str(sOutputLimit));
    text.replace(text.find("%d"), 2, digits, static_cast<std::size_t>(end - digits));
    return text;
}

} // namespace corvane
