#include "run/check.h"

#include "core/parser.h"
#include "core/program.h"

namespace corvane {

namespace {

// Keeps the first error and nothing else: no box, no window.
class TErrorKeeper final : public THost {
public:
    void Error(const TError& error) override {
        if (!Has) First = error;
        Has = true;
    }
    TError First;
    bool Has = false;
};

} // namespace

TError CheckProgram(std::string_view machineText) {
    TProgram program;
    TErrorKeeper host;
    int32_t pos = ParseProgram(machineText, program, host);
    if (pos < 0) pos = program.Link(host);
    if (pos < 0) return {};
    TError error = host.First;
    error.Pos = pos; // the position the run goes by
    return error;
}

} // namespace corvane
