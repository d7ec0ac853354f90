#include "core/appstrings.h"
#include "core/host.h"
#include "core/program.h"

namespace corvane {

namespace {
bool IsEndRecord(const TCommand& c) {
    return c.Kind == ckExit && c.Line < 0;
}

// The panel keeps naming the failing command's line.
int32_t Unresolved(THost& host, const TCommand& q) {
    host.SetStatus(LineText(q.Line));
    host.Error(TError{sLabelNotFound, q.Pos, q.Line});
    return q.Pos;
}
} // namespace

// Walks the commands backwards, from the end record to the first command, with
// Current on the command that follows the one being linked. Labels missing in
// several commands: the one latest in the source is reported; within one IF the
// GOTO label is looked up before the ELSE label.
int32_t TProgram::Link(THost& host) {
    Current = Commands;
    while (Current != nullptr && Current->Prev != nullptr) {
        TCommand& q = *Current->Prev;
        host.LinkProgress(q.Line);
        if (q.GotoLabel) {
            q.Target = FindLabel(q.GotoLabel.View());
            if (q.Target == nullptr) return Unresolved(host, q);
        } else if (q.Kind == ckExit || IsEndRecord(*Current)) {
            q.Target = nullptr;
        } else {
            q.Target = Current;
        }
        if (q.ElseLabel) {
            q.ElseTarget = FindLabel(q.ElseLabel.View());
            if (q.ElseTarget == nullptr) return Unresolved(host, q);
        } else {
            q.ElseTarget = Current;
        }
        Current = &q;
    }
    host.SetStatus("");
    return -1;
}

} // namespace corvane
