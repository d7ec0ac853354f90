// The module's functions, as the page's worker calls them (web/src/worker/
// engine.ts). Texts come in as UTF-16 code units or UTF-8 bytes in the
// module's memory, which the caller owns; answers are numbers, or JSON texts
// and byte buffers that stay valid until the next call. No exception leaves
// a function: each is turned into {"fault": MESSAGE}, which the worker reports
// as the failure of what was asked.
#include "core/appstrings.h"
#include "core/text_codec.h"
#include "run/check.h"
#include "wasm/reports.h"
#include "wasm/texts.h"
#include "wasm/webrun.h"
#include "wasm/websuite.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>

using namespace corvane;
using namespace corvane::wasm;

namespace {

// What the last call answered beyond its number.
struct TAnswer {
    std::string Json;
    std::u16string Text;
    std::string Bytes;
};

// An exception that is no std::exception.
constexpr const char* kUnknownFault = "Internal error: unknown exception ...";

TAnswer answer;
std::unique_ptr<TWebRun> run;
std::string_view taken; // the output last taken, in the run's face
std::unique_ptr<TWebSuite> suiteJob;

std::string FaultJson(std::string_view message) {
    return Dump({{"fault", message}});
}

// The fault that escaped an export, as its JSON answer; called only from
// inside a catch block, whose exception it reads again.
std::string CurrentFault() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return FaultJson(Str(sNoMemory));
    } catch (const std::exception& e) {
        return FaultJson(e.what());
    } catch (...) {
        return FaultJson(kUnknownFault);
    }
}

// Runs `make`, which returns a JSON value, and answers its text, or the fault
// that escaped it.
template <class Make>
const char* Answer(Make&& make) {
    try {
        answer.Json = Dump(make());
    } catch (...) {
        answer.Json = CurrentFault();
    }
    return answer.Json.c_str();
}

std::u16string_view Units(const char16_t* text, int units) {
    return {text, static_cast<std::size_t>(units)};
}

std::string_view Bytes(const char* bytes, int size) {
    return {bytes, static_cast<std::size_t>(size)};
}

json NoRun() {
    return {{"fault", "no run"}};
}

} // namespace

extern "C" {

// The answer's JSON text, UTF-16 text or bytes.
EMSCRIPTEN_KEEPALIVE const char16_t* cv_text() {
    return answer.Text.data();
}
EMSCRIPTEN_KEEPALIVE int cv_text_size() {
    return static_cast<int>(answer.Text.size());
}
EMSCRIPTEN_KEEPALIVE const char* cv_bytes() {
    return answer.Bytes.data();
}
EMSCRIPTEN_KEEPALIVE int cv_bytes_size() {
    return static_cast<int>(answer.Bytes.size());
}

// The live check: ErrorInfo of the first parse or link error, or null.
EMSCRIPTEN_KEEPALIVE const char* cv_check(const char16_t* text, int units) {
    return Answer([&]() -> json {
        const std::string machine = MachineTextOf(Units(text, units));
        const TError error = CheckProgram(machine);
        if (error.Message == sStringCount) return nullptr;
        return ErrorInfo(error, machine);
    });
}

// A new run (ending the one before): {"status": N}, where N is a TRunStatus.
// mode: 0 Run, 1 Trace, 2 Run To Cursor.
EMSCRIPTEN_KEEPALIVE const char* cv_start(const char16_t* text, int units, const char16_t* input,
                                          int inputUnits, int mode, int cursorLine) {
    return Answer([&]() -> json {
        taken = {};
        run.reset();
        const TStartMode start = mode == 1   ? TStartMode::Trace
                                 : mode == 2 ? TStartMode::RunToCursor
                                             : TStartMode::Run;
        run = std::make_unique<TWebRun>(MachineTextOf(Units(text, units)),
                                        MachineTextOf(Units(input, inputUnits)), start,
                                        start == TStartMode::RunToCursor ? cursorLine : 0);
        return {{"status", static_cast<int>(run->Session().Status())}};
    });
}

// At most `budget` commands of the run; its TRunStatus, or -1 when something
// failed in the module (cv_fault tells what, and the run is over).
EMSCRIPTEN_KEEPALIVE int cv_go(unsigned budget) {
    try {
        if (run) return static_cast<int>(run->Go(budget));
        answer.Json = Dump(NoRun());
    } catch (...) {
        answer.Json = CurrentFault();
    }
    taken = {};
    run.reset();
    return -1;
}
EMSCRIPTEN_KEEPALIVE const char* cv_fault() {
    return answer.Json.c_str();
}

// The run's TRunStatus; -1 when there is none.
EMSCRIPTEN_KEEPALIVE int cv_status() {
    return run ? static_cast<int>(run->Session().Status()) : -1;
}

EMSCRIPTEN_KEEPALIVE double cv_steps() {
    return run ? static_cast<double>(run->Session().Steps()) : 0;
}
EMSCRIPTEN_KEEPALIVE int cv_line() {
    return run ? run->CurrentLine() : 0;
}

// Takes the output since the last take (cv_output, cv_output_size, valid
// until the run goes on); 1 when Back started the output over before it.
EMSCRIPTEN_KEEPALIVE int cv_take_output() {
    taken = {};
    if (!run) return 0;
    const bool restarted = run->Face().TakeRestart();
    taken = run->Face().TakeOutput();
    return restarted ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const char* cv_output() {
    return taken.data();
}
EMSCRIPTEN_KEEPALIVE int cv_output_size() {
    return static_cast<int>(taken.size());
}

// The run's commands; each is ignored where the session ignores it.
EMSCRIPTEN_KEEPALIVE void cv_continue() {
    if (run) run->Session().Continue();
}
EMSCRIPTEN_KEEPALIVE void cv_next() {
    if (run) run->Session().Next();
}
EMSCRIPTEN_KEEPALIVE int cv_back() {
    return run && run->Session().Back() ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void cv_break() {
    if (run) run->Session().Break();
}
EMSCRIPTEN_KEEPALIVE void cv_stop() {
    if (run) run->Session().Stop();
}
EMSCRIPTEN_KEEPALIVE void cv_set_stop(int line, int on) {
    if (run) run->SetStop(line, on != 0);
}

EMSCRIPTEN_KEEPALIVE const char* cv_pause() {
    return Answer([&] { return run ? run->Pause() : NoRun(); });
}
EMSCRIPTEN_KEEPALIVE const char* cv_ending() {
    return Answer([&] { return run ? run->Ending() : NoRun(); });
}
EMSCRIPTEN_KEEPALIVE const char* cv_stack_slice(int stack, double from, double count) {
    return Answer([&] {
        return run ? run->StackSlice(stack, static_cast<int64_t>(from), static_cast<int64_t>(count))
                   : NoRun();
    });
}

// A file's bytes as the desktop reads them: {"encoding", "bom"}, and the
// editor text (CR LF line ends) in the answer's text.
EMSCRIPTEN_KEEPALIVE const char* cv_decode(const char* bytes, int size) {
    return Answer([&]() -> json {
        TDecodedText decoded = DecodeFile(Bytes(bytes, size));
        answer.Text = std::move(decoded.Text);
        return {{"encoding", decoded.Encoding == TEncoding::Utf8 ? "utf8" : "windows1250"},
                {"bom", decoded.ByteOrderMark}};
    });
}

// Editor text as the desktop saves it, with CR LF line ends, in the answer's
// bytes: {"encoding"} written (UTF-8 when Windows-1250 lacks a character).
// encoding: 0 UTF-8, 1 Windows-1250.
EMSCRIPTEN_KEEPALIVE const char* cv_encode(const char16_t* text, int units, int encoding, int bom) {
    return Answer([&]() -> json {
        TEncoding used = TEncoding::Utf8;
        answer.Bytes =
            EncodeFile(NormalizeLineEnds(Units(text, units)),
                       encoding == 1 ? TEncoding::Windows1250 : TEncoding::Utf8, bom != 0, &used);
        return {{"encoding", used == TEncoding::Utf8 ? "utf8" : "windows1250"}};
    });
}

// A suite (UTF-8 TOML) against a program text, ending the suite before:
// {"count": N}, or {"error": "NAME:LINE:COL: MESSAGE"}.
EMSCRIPTEN_KEEPALIVE const char* cv_suite(const char* suiteText, int suiteSize,
                                          const char* suiteName, int nameSize,
                                          const char16_t* program, int units) {
    return Answer([&]() -> json {
        suiteJob.reset();
        std::string error;
        suiteJob = TWebSuite::Read(Bytes(suiteText, suiteSize), Bytes(suiteName, nameSize),
                                   MachineTextOf(Units(program, units)), error);
        if (!suiteJob) return {{"error", error}};
        return {{"count", suiteJob->Count()}};
    });
}
EMSCRIPTEN_KEEPALIVE const char* cv_suite_case(int index) {
    return Answer([&] {
        return suiteJob ? suiteJob->RunCase(static_cast<std::size_t>(index))
                        : json{{"fault", "no suite"}};
    });
}
EMSCRIPTEN_KEEPALIVE const char* cv_suite_summary() {
    return Answer([&] { return suiteJob ? suiteJob->Summary() : json{{"fault", "no suite"}}; });
}

} // extern "C"
