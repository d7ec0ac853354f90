#include "windows/stacksummary.h"

#include "core/appstrings.h"
#include "core/program.h"

namespace {
constexpr std::size_t ShownValues = 4;
}

QString SignedText(uint32_t value) {
    return QString::fromStdString(corvane::SignedText(value));
}

QString StackSummary(const corvane::TProgram& program, int bound) {
    QString text;
    for (int32_t i = 0; i < program.StackCount() && text.size() < bound; ++i) {
        const corvane::TStackRec& stack = *program.StackAt(i);
        text +=
            stack.Name.empty() ? QStringLiteral("Primary Stack") : QString::fromLatin1(stack.Name);
        text += QStringLiteral(": ");
        if (stack.Empty()) text += QStringLiteral("EMPTY");
        const auto& values = stack.Values; // bottom first
        for (std::size_t k = 0; k < values.size() && k < ShownValues; ++k) {
            if (k != 0) text += u',';
            text += SignedText(values[values.size() - 1 - k]);
        }
        if (values.size() > ShownValues) text += QStringLiteral(",...");
        text += QStringLiteral("; ");
        if (text.size() >= bound && i + 1 < program.StackCount()) text += QChar(0x2026); // …
    }
    return text;
}
