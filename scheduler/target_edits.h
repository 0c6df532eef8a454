// Which target texts a running countdown works on. A text being typed takes effect only when
// its edit is finished, so that a half-typed year ("2") or minute ("5" on the way to "55") never
// brings the action earlier.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "scheduler/date_time.h"

namespace velmora {

// The six target fields, year to second, then the path of the program to start.
inline constexpr int kTargetParts = 7;
inline constexpr int kProgramPathPart = 6;
using TargetEntry = std::array<std::wstring, kTargetParts>;

// A text left alone this long takes effect by itself, if the target it gives is later.
inline constexpr int kSettleSeconds = 2;

// An edit takes effect when it is
// - confirmed: the user moved on (focus to another control, Enter, a list pick, the picker),
//   and the text is still the one confirmed; or
// - settled: unchanged for kSettleSeconds, and it only postpones: a target field's text gives a
//   target later than the one in force (one that cannot be read fires nothing, so it counts as
//   the latest of all, in force too); the program path is no time and settles while the target
//   in force is not due. An earlier target, due or not, may be a text on its way to a later one
//   (minute "5" on the way to "55"), so it needs a confirmation; or
// - not the user's at all: a text the program set itself, with no edit under way.
// Until then the tick keeps to the texts that took effect last: it counts down to them and
// fires on them when they are due.
class TargetEdits {
  public:
    // The start click: the texts as they stand take effect, edits under way are forgotten.
    void Take(const TargetEntry& live);
    // The user changed a part's text (typing, pasting, stepping through its list).
    void NoteEdit(int part);
    // The user finished the edit of a part, which then reads `text`. Holds until the next tick.
    void NoteConfirmed(int part, std::wstring text);
    // At a tick of a running countdown, with its clock reading: the texts in force from now on.
    const TargetEntry& InForce(const TargetEntry& live, const DateTime& now);

  private:
    struct Part {
        bool editing = false;                   // an edit of the user's is under way
        bool changedSinceTick = false;          // NoteEdit since the last tick
        std::optional<std::wstring> confirmed;  // the text the user confirmed since that tick
        std::wstring seen;                      // the text at the last tick
        std::optional<DateTime> lastReading;    // the clock reading of that tick
        int readings = 0;                       // different readings that saw `seen`
    };
    bool Settled(int part, const TargetEntry& live, const DateTime& now) const;

    TargetEntry inForce_;
    std::array<Part, kTargetParts> parts_;
};

}  // namespace velmora
