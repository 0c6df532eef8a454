// Where the timer puts its next tick in time: just after the next turn of the wall clock's
// period (the second, for the 1000 ms tick), so that each tick reads the second it is meant for.
// Plain arithmetic on milliseconds counted from any epoch that begins on a whole second.
#pragma once

#include <cstdint>

namespace velmora {

// How long after the turn a tick is asked for. Timer messages and the wall clock run on
// different clocks (Windows's timer tick against the system time), so a message can come a
// little before the turn it was set for; the slack keeps most of them after it.
inline constexpr int kTickSlackMs = 3;

// The first turn of the period strictly after nowMs: a tick taken right on a turn asks for the
// next one, never for the turn it is on.
constexpr std::int64_t NextTurnMs(std::int64_t nowMs, int periodMs) {
    return (nowMs / periodMs + 1) * periodMs;
}

// How long to set the timer for at nowMs so that it fires kTickSlackMs after dueMs; a turn
// already gone is due at once.
constexpr int DelayUntilMs(std::int64_t nowMs, std::int64_t dueMs) {
    const std::int64_t left = dueMs - nowMs;
    return left > 0 ? static_cast<int>(left) + kTickSlackMs : 0;
}

// How far after the turn a tick may end and still leave the Windows timer as it is: with its
// period equal to the interval it fires at the same point of every period, so setting it again
// each tick would only cost a call into the window server per second.
inline constexpr int kOnTurnToleranceMs = 4;

// True when nowMs lies within the first kTickSlackMs + kOnTurnToleranceMs of its period.
constexpr bool IsJustAfterTurn(std::int64_t nowMs, int periodMs) {
    return nowMs >= 0 && nowMs % periodMs <= kTickSlackMs + kOnTurnToleranceMs;
}

// True when a timer message at nowMs came before the turn it was set for, by no more than one
// period: wait for the turn. Earlier than that, the clock was set back: tick now.
constexpr bool IsEarly(std::int64_t nowMs, std::int64_t dueMs, int periodMs) {
    return nowMs < dueMs && dueMs - nowMs <= periodMs;
}

}  // namespace velmora
