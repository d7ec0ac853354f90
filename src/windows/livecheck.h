// The silent check of the editor's text: the run's own parser and linker, on
// a worker thread, reporting the first error instead of showing it.
#pragma once

#include "run/check.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <string_view>

using corvane::CheckProgram;

// The machine text of a document's raw text (QTextDocument::toRawText): the
// text the run parses, made off the GUI thread.
std::string MachineTextOfRaw(const QString& raw);

// Runs checks one at a time on a thread of its own. Only the result of the
// latest Check is delivered (on the owner's thread); an older one that
// finishes later is dropped.
class TLiveCheck final : public QObject {
    Q_OBJECT
public:
    explicit TLiveCheck(QObject* parent = nullptr);
    ~TLiveCheck() override;

    void Check(const QString& rawText);
    // Drops the result of every check started so far.
    void Forget() {
        ++generation_;
        busy_ = false;
    }
    bool Busy() const { return busy_; }

Q_SIGNALS:
    void Checked(const corvane::TError& error);

private:
    QThreadPool pool_;
    uint64_t generation_ = 0; // touched on the owner's thread only
    bool busy_ = false;
};
