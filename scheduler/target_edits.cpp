// When an edit of the target takes effect during a countdown: confirmed, settled, or set by
// the program; until then the texts that took effect last stay in force.
#include "scheduler/target_edits.h"

#include <algorithm>
#include <cstdint>

#include "scheduler/remaining_time.h"

namespace velmora {

void TargetEdits::Take(const TargetEntry& live) {
    inForce_ = live;
    for (int i = 0; i < kTargetParts; ++i) {
        parts_[i] = Part{};
        parts_[i].seen = live[i];
    }
}

void TargetEdits::NoteEdit(int part) {
    parts_.at(part).editing = true;
    parts_.at(part).changedSinceTick = true;
}

void TargetEdits::NoteConfirmed(int part, std::wstring text) {
    parts_.at(part).confirmed = std::move(text);
}

bool TargetEdits::Settled(int part, const TargetEntry& live, const DateTime& now) const {
    // Seen by ticks in three different seconds of the clock: 2 s at least from the first to
    // the last, with no calendar arithmetic for a month end or a clock set back to upset.
    if (parts_[part].readings <= kSettleSeconds) {
        return false;
    }
    TargetTexts before;
    TargetTexts after;
    for (size_t i = 0; i < before.size(); ++i) {
        before[i] = inForce_[i];
        after[i] = static_cast<int>(i) == part ? live[i] : inForce_[i];
    }
    // Seconds left, 0 when due: on one clock reading, more is later. A target that cannot be
    // read fires nothing: later than any other, so it may settle, and no readable one settles over
    // it.
    const std::optional<std::int32_t> inForce = RemainingSeconds(now, before);
    if (part == kProgramPathPart) {
        return !inForce || *inForce > 0;  // a due target fires on the path in force
    }
    const std::optional<std::int32_t> edited = RemainingSeconds(now, after);
    return !edited || (inForce && *edited > *inForce);
}

const TargetEntry& TargetEdits::InForce(const TargetEntry& live, const DateTime& now) {
    for (int i = 0; i < kTargetParts; ++i) {
        Part& p = parts_[i];
        // Seen at tick resolution: a text counts as standing from the first tick that saw it,
        // so it takes effect 2 to 3 s after the last keystroke, never earlier.
        if (p.changedSinceTick || live[i] != p.seen) {
            p.seen = live[i];
            p.readings = 0;
            p.lastReading.reset();
        }
        if (!p.lastReading || !(*p.lastReading == now)) {
            p.lastReading = now;
            p.readings = std::min(p.readings + 1, kSettleSeconds + 1);
        }
        p.changedSinceTick = false;
    }
    // Confirmed edits and the program's own texts first, so that a settling edit is judged
    // against the target they give.
    for (int i = 0; i < kTargetParts; ++i) {
        Part& p = parts_[i];
        if (live[i] == inForce_[i] || !p.editing || p.confirmed == live[i]) {
            inForce_[i] = live[i];
            p.editing = false;
        }
    }
    for (int i = 0; i < kTargetParts; ++i) {
        if (live[i] != inForce_[i] && Settled(i, live, now)) {
            inForce_[i] = live[i];
            parts_[i].editing = false;
        }
        parts_[i].confirmed.reset();  // a confirmation is for the text of its moment only
    }
    return inForce_;
}

}  // namespace velmora
