// Reading the command line: each option once, in any order, "-name" as "/name" and the names
// in any case (as Windows' own tools take them); every fault named with what the option takes.
#include "scheduler/command_line.h"

#include <algorithm>
#include <string_view>

#include "scheduler/remaining_time.h"

namespace velmora {

namespace {

// Longer than the whole seconds scale (1972 to 2038): a longer delay is cut to it, still out of
// range, so that every sum stays far inside 64 bits and inside the dates Windows converts.
constexpr std::int64_t kLongestDelay = std::int64_t{1} << 32;
constexpr std::size_t kAnyLength = 64;  // digits of a delay's first number
constexpr std::int64_t kHour = 3600;

// What an option sets: each of these at most once.
enum class Slot { kTarget, kAction, kStart };

struct OptionSpec {
    std::wstring_view name;  // lower case, without "/" or "-"
    Slot slot;
    std::optional<ActionOption> action;
    const wchar_t* accepts;  // what its value may be; nullptr: it takes none
};

const OptionSpec kOptions[] = {
    {L"at", Slot::kTarget, std::nullopt,
     L"\"yyyy-mm-dd hh:mm[:ss]\"，从现在至 2038-09-24 03:14:07"},
    {L"in", Slot::kTarget, std::nullopt, L"分钟数或 h:mm:ss，到期不晚于 2038-09-24 03:14:07"},
    {L"shutdown", Slot::kAction, ActionOption::kOption1, nullptr},
    {L"restart", Slot::kAction, ActionOption::kOption2, nullptr},
    {L"shutdown-now", Slot::kAction, ActionOption::kOption4, nullptr},
    {L"restart-now", Slot::kAction, ActionOption::kOption5, nullptr},
    {L"run", Slot::kAction, ActionOption::kOption3, L"\"程序 参数\"（同“运行”框）"},
    {L"start", Slot::kStart, std::nullopt, nullptr},
};

bool IsOption(std::wstring_view argument) {
    return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-');
}

std::wstring LowerAscii(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lower;
}

// Within the years that the seconds scale holds (1972 to 2038) every fourth year is a leap
// year, 2000 included; a later date is refused as out of range anyway.
int DaysInMonth(int year, int month) {
    if (month == 2) {
        return year % 4 == 0 ? 29 : 28;
    }
    // 31 days in January, March, May, July, August, October, December.
    return 30 + (month + month / 8) % 2;
}

// Steps through a value's text: runs of digits and the characters between them.
class Scanner {
  public:
    explicit Scanner(std::wstring_view text) : text_(text) {}

    // Between `minDigits` and `maxDigits` decimal digits into `value`; a longer run saturates
    // at kLongestDelay, which no field or delay accepts.
    bool Number(std::int64_t& value, std::size_t minDigits, std::size_t maxDigits) {
        value = 0;
        std::size_t count = 0;
        for (; pos_ < text_.size() && text_[pos_] >= L'0' && text_[pos_] <= L'9'; ++pos_, ++count) {
            value = std::min(value * 10 + (text_[pos_] - L'0'), kLongestDelay);
        }
        return count >= minDigits && count <= maxDigits;
    }
    bool Skip(wchar_t c) {
        const bool found = pos_ < text_.size() && text_[pos_] == c;
        pos_ += found ? 1 : 0;
        return found;
    }
    bool Blanks() {
        const std::size_t begin = pos_;
        while (Skip(L' ')) {
        }
        return pos_ > begin;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

  private:
    std::wstring_view text_;
    std::size_t pos_ = 0;
};

// "yyyy-mm-dd hh:mm[:ss]", one or more blanks between date and time; a calendar date.
std::optional<DateTime> ParseMoment(std::wstring_view text) {
    Scanner scan(text);
    std::int64_t f[6] = {};  // year, month, day, hour, minute, second
    const bool read = scan.Number(f[0], 4, 4) && scan.Skip(L'-') && scan.Number(f[1], 1, 2) &&
                      scan.Skip(L'-') && scan.Number(f[2], 1, 2) && scan.Blanks() &&
                      scan.Number(f[3], 1, 2) && scan.Skip(L':') && scan.Number(f[4], 2, 2) &&
                      (scan.AtEnd() || (scan.Skip(L':') && scan.Number(f[5], 2, 2))) &&
                      scan.AtEnd();
    if (!read || f[1] < 1 || f[1] > 12 || f[2] < 1 ||
        f[2] > DaysInMonth(static_cast<int>(f[0]), static_cast<int>(f[1])) || f[3] > 23 ||
        f[4] > 59 || f[5] > 59) {
        return std::nullopt;
    }
    return DateTime{static_cast<int>(f[0]), static_cast<int>(f[1]), static_cast<int>(f[2]),
                    static_cast<int>(f[3]), static_cast<int>(f[4]), static_cast<int>(f[5])};
}

// Whole minutes, or h:mm:ss; in seconds.
std::optional<std::int64_t> ParseDelay(std::wstring_view text) {
    Scanner scan(text);
    std::int64_t hours = 0, minutes = 0, seconds = 0;
    if (!scan.Number(minutes, 1, kAnyLength)) {
        return std::nullopt;
    }
    if (scan.AtEnd()) {
        return minutes * 60;
    }
    hours = minutes;
    if (!(scan.Skip(L':') && scan.Number(minutes, 2, 2) && scan.Skip(L':') &&
          scan.Number(seconds, 2, 2) && scan.AtEnd()) ||
        minutes > 59 || seconds > 59) {
        return std::nullopt;
    }
    return hours * 3600 + minutes * 60 + seconds;
}

// Whether the tick, which fires at the first second whose local reading is not earlier than the
// target, would fire before `end`, the instant the target stands for: so it would when the clock
// goes back within the last hour before it, and shows the target's reading in a first pass.
bool FiresEarly(const DateTime& target, std::int64_t nowUtc, std::int64_t end,
                const LocalTimeAt& localAt) {
    const std::int64_t probe = std::max(nowUtc, end - kHour);
    if (probe >= end) {
        return false;
    }
    const auto seen = localAt(probe);
    return seen && PseudoTimestamp(*seen) >= PseudoTimestamp(target);
}

CommandLineOutcome Error(const std::wstring& problem) {
    return {CommandLineOutcome::Kind::kError, {}, problem + L"\n\n" + CommandLineUsage()};
}

CommandLineOutcome ValueError(const std::wstring& option, const OptionSpec& spec,
                              const std::wstring& problem) {
    return Error(option + L" " + problem + L"：应为 " + spec.accepts + L"。");
}

}  // namespace

std::wstring CommandLineUsage() {
    return L"用法：velmora.exe [时间] [动作] [/start]\n"
           L"时间：\n"
           L"/at \"yyyy-mm-dd hh:mm[:ss]\"  在该时刻\n"
           L"/in 分钟数 或 /in h:mm:ss  经过这么久后\n"
           L"动作：\n"
           L"/shutdown  关机+截屏\n"
           L"/restart  重启+截屏\n"
           L"/shutdown-now  关机\n"
           L"/restart-now  重启\n"
           L"/run \"程序 参数\"  运行\n"
           L"/start  立即启动，如同点击“启动”\n"
           L"/?  显示本说明\n"
           L"选项以 / 或 - 开头，次序不限；时间从现在至 2038-09-24 03:14:07。";
}

CommandLineOutcome ReadCommandLine(const std::vector<std::wstring>& arguments, std::int64_t nowUtc,
                                   const LocalTimeAt& localAt) {
    for (const std::wstring& argument : arguments) {
        if (argument == L"/?" || argument == L"-?") {
            return {CommandLineOutcome::Kind::kHelp, {}, CommandLineUsage()};
        }
    }

    CommandLineOutcome outcome;
    Preset& preset = outcome.preset;
    std::wstring setBy[3];  // the option that filled each slot, as typed
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& option = arguments[i];
        if (!IsOption(option)) {
            return Error(L"“" + option + L"”不是选项。");
        }
        const std::wstring name = LowerAscii(std::wstring_view(option).substr(1));
        const auto spec = std::find_if(std::begin(kOptions), std::end(kOptions),
                                       [&](const OptionSpec& s) { return s.name == name; });
        if (spec == std::end(kOptions)) {
            return Error(L"未知选项 " + option + L"。");
        }
        std::wstring& taken = setBy[static_cast<int>(spec->slot)];
        if (!taken.empty()) {
            return Error(LowerAscii(taken.substr(1)) == name
                             ? L"选项 " + option + L" 重复。"
                             : L"选项 " + option + L" 不能与 " + taken + L" 同用。");
        }
        taken = option;
        if (spec->action) {
            preset.option = spec->action;
        }
        if (spec->slot == Slot::kStart) {
            preset.start = true;
        }
        if (spec->accepts == nullptr) {
            continue;
        }

        std::wstring value;
        if (i + 1 < arguments.size() && !IsOption(arguments[i + 1])) {
            value = arguments[++i];
        }
        // A date and a time given unquoted arrive as two arguments.
        if (name == L"at" && value.find(L' ') == std::wstring::npos && i + 1 < arguments.size() &&
            !IsOption(arguments[i + 1])) {
            value += L" " + arguments[++i];
        }
        if (value.find_first_not_of(L' ') == std::wstring::npos) {
            return ValueError(option, *spec, L"缺少值");
        }
        if (name == L"run") {
            preset.programText = value;
            continue;
        }
        std::optional<DateTime> target;
        std::int64_t end = nowUtc;  // the instant a delay's target stands for
        if (name == L"at") {
            target = ParseMoment(value);
        } else if (const auto delay = ParseDelay(value)) {
            end = nowUtc + std::min(*delay, kLongestDelay);
            target = localAt(end);
            if (!target) {
                return ValueError(option, *spec, L"“" + value + L"”超出范围");
            }
        }
        if (!target) {
            return ValueError(option, *spec, L"“" + value + L"”无效");
        }
        if (!PseudoTimestamp(*target)) {
            return ValueError(option, *spec, L"“" + value + L"”超出范围");
        }
        // A time already past would fire at once: a shortcut or a task started late must not
        // shut the computer down at an hour nobody chose.
        if (const auto now = localAt(nowUtc);
            name == L"at" && now && PseudoTimestamp(*target) < PseudoTimestamp(*now)) {
            return ValueError(option, *spec, L"“" + value + L"”已过");
        }
        if (name == L"in" && FiresEarly(*target, nowUtc, end, localAt)) {
            return ValueError(option, *spec, L"“" + value + L"”落在时钟回拨后重复的一小时内");
        }
        preset.target = target;
    }
    return outcome;
}

}  // namespace velmora
