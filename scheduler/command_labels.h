// What a click on one of the command labels LabelGN(0..4) does: views, start, pause, exit.
// The window layer passes the present values in and applies the returned changes in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

inline constexpr wchar_t kStartCaption[] = L"启动";
inline constexpr wchar_t kPauseCaption[] = L"暂停";
inline constexpr wchar_t kProductTitle[] = L"Velmora自动关机";
inline constexpr wchar_t kPausedCountdownText[] = L"00:00:00";

struct LabelClickInput {
    float width = 0;  // window, twips
    float height = 0;
    float label5Width = 0;  // full panel marker
    float label5Height = 0;
    float label9Width = 0;  // compact strip marker
    float label9Height = 0;
    std::wstring labelGN3Caption;
    std::wstring labelAMCaption;
    int timerInterval = 0;
    // How long ago a graceful shutdown or restart was issued that has not been aborted, in
    // milliseconds; none if there is no such command.
    std::optional<std::int64_t> msSinceGracefulCommand;
};

// Windows keeps a shutdown issued with a delay abortable until the delay is over.
inline constexpr std::int64_t kShutdownDelayMs = 20000;
inline constexpr wchar_t kAbortShutdownCommand[] = L"cmd.exe /d /c shutdown -a";

// Changes to apply, in this order: captions (LabelAM, LabelGN(3), Label2, Label6; LabelGN(3)
// before LabelAM with labelGN3First), the timer interval, then width and height; with
// minimizeAndRestore the window is then minimised, restored, and given width and height once
// more. endProgram ends at once.
struct LabelClickEffects {
    std::optional<std::wstring> labelAMCaption;
    std::optional<std::wstring> labelGN3Caption;
    bool labelGN3First = false;  // the pause: the label changes first, then the run flag
    std::optional<std::wstring> label2Caption;
    std::optional<std::wstring> label6Caption;
    std::optional<int> timerInterval;
    std::optional<float> width;
    std::optional<float> height;
    bool minimizeAndRestore = false;
    bool endProgram = false;
    // A pause while a graceful shutdown or restart is still pending stops it first: run hidden.
    std::optional<std::wstring> abortCommandLine;
};

LabelClickEffects DecideLabelClick(std::int16_t index, const LabelClickInput& input);

}  // namespace velmora
