// The program's command line: options that preset the panel as a user would set it (target,
// action, program text) and may press 启动 for them, read and resolved without a clock or a
// window. The platform splits the arguments and supplies the present time and the local time
// at any instant.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scheduler/date_time.h"
#include "scheduler/tick.h"

namespace velmora {

// The local date and time at an instant given in seconds since 1970-01-01 00:00:00 UTC, or
// nothing when the system cannot convert it.
using LocalTimeAt = std::function<std::optional<DateTime>(std::int64_t utcSeconds)>;

// What the panel is to hold before it is shown.
struct Preset {
    std::optional<DateTime> target;      // the six fields, to the second; nothing: as preset
    std::optional<ActionOption> option;  // nothing: the panel's own selection stays
    std::wstring programText;            // Text5, with kOption3 only
    bool start = false;                  // then a click on 启动
};

struct CommandLineOutcome {
    enum class Kind { kPreset, kHelp, kError };
    Kind kind = Kind::kPreset;
    Preset preset;         // kPreset
    std::wstring message;  // kHelp: the usage; kError: what is wrong, a blank line, the usage
};

// `arguments` without the program's own name, split by Windows' rules. A delay (/in) is real
// elapsed time: its target is the local reading at `nowUtc` plus the delay, so it holds across
// midnight, a month's end and a change to or from daylight-saving time alike. Refused, as the
// tick would fire early on them: a time already past, and a delay that ends in the hour that
// repeats when the clock goes back.
CommandLineOutcome ReadCommandLine(const std::vector<std::wstring>& arguments, std::int64_t nowUtc,
                                   const LocalTimeAt& localAt);

// The text that /? shows.
std::wstring CommandLineUsage();

}  // namespace velmora
