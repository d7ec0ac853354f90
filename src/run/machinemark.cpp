#include "run/machinemark.h"

#include "core/appstrings.h"
#include "core/inputlist.h"
#include "core/program.h"

namespace corvane {

namespace {

std::string Values(uint64_t count) {
    return std::to_string(count) + (count == 1 ? " value" : " values");
}

std::string StackName(const TProgram& program, int32_t c) {
    const std::string& name = program.StackAt(c)->Name;
    return name.empty() ? std::string("Primary Stack") : name;
}

} // namespace

TMachineMark MarkOf(const TProgram& program, const TInputList* input, uint64_t outputs) {
    TMachineMark mark;
    mark.Steps = program.Steps;
    mark.WR = program.WR;
    mark.InputPos = input ? input->Position() : 0;
    mark.Outputs = outputs;
    const int32_t count = program.StackCount();
    mark.Depths.reserve(static_cast<std::size_t>(count));
    mark.Tops.reserve(static_cast<std::size_t>(count));
    for (int32_t c = 0; c < count; ++c) {
        const auto& values = program.StackAt(c)->Values;
        mark.Depths.push_back(values.size());
        mark.Tops.push_back(values.empty() ? 0 : values.back());
    }
    return mark;
}

TChanges Compare(const TMachineMark& before, const TMachineMark& now) {
    TChanges changes;
    changes.WR = now.WR != before.WR;
    changes.Input = now.InputPos != before.InputPos;
    changes.Outputs = now.Outputs != before.Outputs;
    changes.Stacks.assign(now.Depths.size(), false);
    if (before.Depths.size() == now.Depths.size())
        for (std::size_t c = 0; c < now.Depths.size(); ++c)
            changes.Stacks[c] = now.Depths[c] != before.Depths[c] || now.Tops[c] != before.Tops[c];
    return changes;
}

std::string DescribeChanges(const TProgram& program, const TMachineMark& before,
                            const TMachineMark& now) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += "; ";
        text += part;
    };
    if (now.WR != before.WR) add("WR was " + SignedText(before.WR));
    if (before.Depths.size() == now.Depths.size()) {
        for (std::size_t c = 0; c < now.Depths.size(); ++c) {
            const std::string name = StackName(program, static_cast<int32_t>(c));
            if (now.Depths[c] == before.Depths[c] + 1)
                add("pushed " + SignedText(now.Tops[c]) + " on " + name);
            else if (now.Depths[c] + 1 == before.Depths[c])
                add("popped " + SignedText(before.Tops[c]) + " off " + name);
            else if (now.Depths[c] != before.Depths[c] || now.Tops[c] != before.Tops[c])
                add(name + " changed");
        }
    }
    if (now.InputPos != before.InputPos) add("read " + Values(now.InputPos - before.InputPos));
    if (now.Outputs != before.Outputs) add("printed " + Values(now.Outputs - before.Outputs));
    return text;
}

void TPauseMarks::Note(TMachineMark now) {
    if (hasNow_ && now.Steps == now_.Steps) return;
    hasBefore_ = hasNow_ && now.Steps > now_.Steps;
    if (hasBefore_) before_ = std::move(now_);
    now_ = std::move(now);
    hasNow_ = true;
}

} // namespace corvane
