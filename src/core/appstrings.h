// The application's fixed texts: messages, captions and phase texts.
#pragma once

#include <cstddef>
#include <cstdint>
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

// A machine value as the user sees it: its 32 bits read as a signed number, in
// decimal ("-1" for 0xFFFFFFFF), no leading zeros or blanks.
constexpr std::size_t kSignedDigits = 11; // the longest: "-2147483648"
std::string_view SignedText(uint32_t value, char (&buffer)[kSignedDigits]);
inline std::string SignedText(uint32_t value) {
    char buffer[kSignedDigits];
    return std::string(SignedText(value, buffer));
}

// The message of the output bound with the number of values printed.
std::string OutputLimitText(unsigned long long values);

} // namespace corvane
