// When an edit of the target takes effect during a countdown: confirmed, settled, or set by
// the program; until then the texts that took effect last stay in force.
#include "scheduler/target_edits.h"

#include <cstdint>

#include "scheduler/remaining_time.h"

namespace velmora {

namespace {

// Seconds of a clock reading on the real calendar (days from 1970-01-01, proleptic
// Gregorian). Not the countdown's own scale: there a month end would look like days passing.
std::int64_t CalendarSeconds(const DateTime& t) {
    const std::int64_t y = t.year - (t.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

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
    const Part& p = parts_[part];
    if (CalendarSeconds(now) - CalendarSeconds(*p.seenSince) < kSettleSeconds) {
        return false;
    }
    TargetTexts target;
    for (int i = 0; i < 6; ++i) {
        target[i] = i == part ? live[i] : inForce_[i];
    }
    // A target that cannot be read fires nothing, so it may settle (and show as invalid).
    const std::optional<std::int32_t> remaining = RemainingSeconds(now, target);
    return !remaining || *remaining > 0;
}

const TargetEntry& TargetEdits::InForce(const TargetEntry& live, const DateTime& now) {
    for (int i = 0; i < kTargetParts; ++i) {
        Part& p = parts_[i];
        // Seen at tick resolution, so a text counts as standing from the first tick that
        // saw it: it takes effect 2 to 3 s after the last keystroke, never earlier. A clock
        // set back restarts the wait rather than stretching it.
        if (!p.seenSince || p.changedSinceTick || live[i] != p.seen ||
            CalendarSeconds(now) < CalendarSeconds(*p.seenSince)) {
            p.seen = live[i];
            p.seenSince = now;
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
