// Event handling from inside a long loop (parse, link, run, input parse).
#pragma once

#include <chrono>
#include <cstdint>

// Decides when a loop that runs on the GUI thread lets the toolkit handle its
// pending events. Calling Qt before every command would cost far more than the
// command itself; instead Tick() counts calls and reads the clock every
// CheckEvery calls, and reports a pass as due once PassInterval has elapsed
// since the last one. Stop, Break and repaints thus wait at most a few
// milliseconds, which the user cannot tell from "before every command".
class TEventPump {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr uint32_t CheckEvery = 64;
    static constexpr auto PassInterval = std::chrono::milliseconds(3);

    // True when the caller should run an event pass now. The caller then runs
    // it; the pump has already taken the time of this pass as the last one.
    bool Tick() {
        if (--countdown_ != 0) return false;
        countdown_ = CheckEvery;
        return Due();
    }

    // Makes the next Tick() check the clock, so that a new loop starts with
    // a pass as soon as one is due.
    void Reset() { countdown_ = 1; }

private:
    bool Due() {
        const auto now = Clock::now();
        if (now < next_) return false;
        next_ = now + PassInterval;
        return true;
    }

    uint32_t countdown_ = 1;
    Clock::time_point next_{};
};

// One pass over the pending events of the GUI thread, user input included
// (Stop and Break are key presses).
void ProcessPendingEvents();
