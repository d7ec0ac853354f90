#include "windows/livecheck.h"

#include "core/text_codec.h"

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
