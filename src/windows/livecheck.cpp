#include "windows/livecheck.h"

#include "core/parser.h"
#include "core/program.h"
#include "core/text_codec.h"

namespace {

// Keeps the first error and nothing else: no box, no window.
class TErrorKeeper final : public corvane::THost {
public:
    void Error(const corvane::TError& error) override {
        if (!Has) First = error;
        Has = true;
    }
    corvane::TError First;
    bool Has = false;
};

} // namespace

corvane::TError CheckProgram(std::string_view machineText) {
    corvane::TProgram program;
    TErrorKeeper host;
    int32_t pos = corvane::ParseProgram(machineText, program, host);
    if (pos < 0) pos = program.Link(host);
    if (pos < 0) return {};
    corvane::TError error = host.First;
    error.Pos = pos; // the position the run goes by
    return error;
}

std::string MachineTextOfRaw(const QString& raw) {
    std::u16string text;
    text.reserve(size_t(raw.size()) + size_t(raw.size()) / 8);
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator)
            text += u"\r\n";
        else
            text += char16_t(c.unicode());
    }
    return corvane::ToMachineText(text);
}

TLiveCheck::TLiveCheck(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(1);
}

// Waits for a check under way: its result must not reach a dead object.
TLiveCheck::~TLiveCheck() {
    pool_.clear();
    pool_.waitForDone();
}

void TLiveCheck::Check(const QString& rawText) {
    const uint64_t generation = ++generation_;
    busy_ = true;
    pool_.clear(); // a check not yet started is out of date
    pool_.start([this, generation, rawText] {
        const corvane::TError error = CheckProgram(MachineTextOfRaw(rawText));
        QMetaObject::invokeMethod(
            this,
            [this, generation, error] {
                if (generation != generation_) return;
                busy_ = false;
                Q_EMIT Checked(error);
            },
            Qt::QueuedConnection);
    });
}
