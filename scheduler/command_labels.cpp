// LabelGN_Click: the five command labels switch the window between its three views, start
// and pause the scheduler, and end the program.
#include "scheduler/command_labels.h"

#include "scheduler/tick.h"

namespace velmora {

namespace {

constexpr int kRunningInterval = kTickIntervalMs;

}  // namespace

LabelClickEffects DecideLabelClick(std::int16_t index, const LabelClickInput& input) {
    LabelClickEffects effects;
    // Sizes are compared exactly: the window reports back the very values it was given
    // from the markers, so any other size is simply "none of the views".
    const bool stripHeight = input.height == input.label9Height;
    switch (index) {
        case 0:  // "▲": wide strip to compact strip
            if (stripHeight && input.width == input.label5Width) {
                effects.width = input.label9Width;
            }
            break;
        case 1:  // "★": compact strip and wide strip swap
            if (stripHeight) {
                effects.width =
                    input.width == input.label9Width ? input.label5Width : input.label9Width;
            }
            break;
        case 2:  // "设置": either strip opens the full panel, the full panel folds to a strip
            effects.width = input.label5Width;
            effects.height = stripHeight ? input.label5Height : input.label9Height;
            break;
        case 3:
            if (input.labelGN3Caption == kStartCaption) {
                effects.labelAMCaption = kRunFlagRunning;
                effects.labelGN3Caption = kPauseCaption;
                // A shutdown or restart stopped the tick; starting again revives it.
                if (input.timerInterval != kRunningInterval) {
                    effects.timerInterval = kRunningInterval;
                }
                effects.width = input.label9Width;
                effects.height = input.label9Height;
                effects.minimizeAndRestore = true;
            } else {
                // Any caption but exactly "启动" pauses, "暂停" or not.
                effects.labelGN3Caption = kStartCaption;
                effects.labelGN3First = true;
                effects.labelAMCaption = kRunFlagPaused;
                effects.label2Caption = kPausedCountdownText;
                effects.label6Caption = kProductTitle;
                effects.width = input.label5Width;
                effects.height = input.label5Height;
                const std::optional<std::int64_t> since = input.msSinceGracefulCommand;
                if (since && *since < kShutdownDelayMs) {  // a monotonic count: never negative
                    effects.abortCommandLine = kAbortShutdownCommand;
                }
            }
            break;
        case 4:  // "退出"
            effects.endProgram = true;
            break;
        default:
            break;
    }
    return effects;
}

}  // namespace velmora
