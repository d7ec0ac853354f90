#include "core/appstrings.h"

#include <charconv>
#include <utility>

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

namespace {
TErrorSink& Sink() {
    static TErrorSink sink;
    return sink;
}
} // namespace

std::string LineText(int line) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, line);
    (void)ec;
    std::string text(Str(sLinePrefix));
    text.append(digits, end);
    return text;
}

std::string OutputLimitText(unsigned long long values) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, values);
    (void)ec;
    std::string text(Str(sOutputLimit));
    text.replace(text.find("%d"), 2, digits, static_cast<std::size_t>(end - digits));
    return text;
}

void ShowError(std::string_view message) {
    if (Sink()) Sink()(message);
}

const TErrorSink& CurrentErrorSink() {
    return Sink();
}

TErrorSink SetErrorSink(TErrorSink sink) {
    return std::exchange(Sink(), std::move(sink));
}

} // namespace corvane
