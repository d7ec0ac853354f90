// The application's fixed texts and its error sink.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

// Indices into StringTable.
enum TStringId : int {
    sProduct = 0,         // product string: captions of the main window and the boxes
    sUntitled,            // name of a document that has no file
    sSaveChanges,         // the save question, the name goes before its "?"
    sFileFilter,          // filter of the file dialogs, "text|pattern" pairs
    sDefaultExt,          // default extension of the save dialog
    sModified,            // status panel marker of a modified text
    sNoMemory,            // a name copy or a value cell could not be had
    sParsing,             // run phase: parsing
    sBadCharacter,        // a character no rule accepts (source and input text)
    sBadExpression,       // first word of a statement is no keyword
    sStackNotFirst,       // STACK after a label or a command
    sBadNumber,           // operand that starts like a number but is none
    sUnknownStack,        // stack name that was never declared
    sBadStackName,        // stack name starting with a digit or '-'
    sEolExpected,         // a word after a complete statement
    sLabelExpected,       // INPUT, GOTO or ELSE without a usable label word
    sStackNotUnique,      // STACK name declared twice
    sBadCondition,        // condition word is none of ZERO NEG EMPTY NOT
    sConditionExpected,   // IF without a condition
    sUnexpectedEol,       // condition word ends the line
    sGotoOrStackExpected, // nothing follows EMPTY on its line
    sGotoExpected,        // the word after the condition is not GOTO
    sElseOrEolExpected,   // a word after the IF label other than ELSE
    sLinking,             // run phase: linking
    sLinePrefix,          // status panel progress prefix
    sLabelNotFound,       // a label name no label defines
    sWaitingForInput,     // run phase: input dialog open
    sRunning,             // run phase: executing
    sCannotClose,         // run window refuses to close while running
    sBadConditionPointer, // condition tree is broken
    sDivisionByZero,      // DIV with a zero operand
    sStackEmpty,          // SET..DIV or POP on an empty stack
    sProgramTooLong,      // a program text longer than source positions can count
    sOutputLimit,         // the run window's output bound ended the run; %d: the values
    sStringCount
};

// The texts, exactly as the user sees them.
extern const char* const StringTable[sStringCount];

inline const char* Str(TStringId id) {
    return StringTable[id];
}

// "Line: " followed by the line number in decimal.
std::string LineText(int line);

// The message of the output bound with the number of values printed.
std::string OutputLimitText(unsigned long long values);

// ShowError hands the message to the current sink; with none installed the
// message is dropped (the core itself does no I/O).
using TErrorSink = std::function<void(std::string_view message)>;

void ShowError(std::string_view message);
inline void ShowError(TStringId id) {
    ShowError(Str(id));
}

// Installs a sink and returns the previous one.
TErrorSink SetErrorSink(TErrorSink sink);

// The sink in place now (empty when none is).
const TErrorSink& CurrentErrorSink();

// Installs a sink for the lifetime of the object, then restores the previous one.
class TScopedErrorSink {
public:
    explicit TScopedErrorSink(TErrorSink sink) : previous_(SetErrorSink(std::move(sink))) {}
    ~TScopedErrorSink() { SetErrorSink(std::move(previous_)); }
    TScopedErrorSink(const TScopedErrorSink&) = delete;
    TScopedErrorSink& operator=(const TScopedErrorSink&) = delete;

private:
    TErrorSink previous_;
};

} // namespace corvane
