#include "core/executor.h"

namespace corvane {

// A chain of NOTs is walked, not recursed into, so its depth is unbounded.
bool TProgram::Evaluate(const TCondition* node, uint32_t wr, THost& host) {
    bool negate = false;
    while (node != nullptr && node->Kind == cdNot) {
        negate = !negate;
        node = node->Operand;
    }
    bool value = false;
    if (node == nullptr) {
        host.Error(TError{sBadConditionPointer});
        Move(TMove::mvFail);
    } else {
        switch (node->Kind) {
        case cdNone: value = false; break;
        case cdZero: value = wr == 0; break;
        case cdNeg: value = static_cast<int32_t>(wr) < 0; break;
        case cdEmpty: value = node->Stack != nullptr && node->Stack->Empty(); break;
        default: host.Error(TError{sBadConditionPointer}); break;
        }
    }
    return value != negate;
}

// The runs of the GUI and of tests that hold their host by its interface.
template int32_t TProgram::Start<THost>(THost&, TInputList&, int32_t);
template int32_t TProgram::Resume<THost>(THost&, TInputList&);

} // namespace corvane
