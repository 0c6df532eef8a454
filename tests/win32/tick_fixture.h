// A loaded Form1 for the in-process tests: the commands are recorded instead of run, and the
// clock gives the readings a test lines up for it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/capture_name.h"
#include "app/form1.h"
#include "platform/message_loop.h"
#include "ui/twips.h"

namespace velmora {

// Gives the queued readings one by one, then keeps `now`.
class ScriptedClock : public Clock {
  public:
    DateTime Now() override {
        ++readings;
        if (!queued.empty()) {
            now = queued.front();
            queued.pop_front();
        }
        return now;
    }
    DateTime now{2026, 5, 7, 8, 9, 6};
    std::deque<DateTime> queued;
    int readings = 0;
};

using Lines = std::vector<std::wstring>;

// The names of the files in the capture folder.
inline Lines CaptureFiles() {
    Lines names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kCaptureFolder, error)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

// Also a file that a test put in the folder's way.
inline void RemoveCaptureFolder() {
    std::error_code error;
    std::filesystem::remove_all(L"C:\\QORN", error);
}

// Lets the window's messages through for `milliseconds`, or until `done` says so; true if done.
inline bool PumpFor(
    DWORD milliseconds, const std::function<bool()>& done = [] { return false; }) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(2)) {
        DoEvents();
        if (done()) {
            return true;
        }
    }
    return false;
}

inline void SetTargetFields(Form1& form, const DateTime& t) {
    const int values[] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
    for (int i = 1; i <= 6; ++i) {
        form.Combo1(i).SetText(ZeroPadded(values[i - 1], i == 1 ? 1 : 2));
    }
}

class LoadedForm1 : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveCaptureFolder();
        CreateDirectoryW(kCaptureFolder, nullptr);  // as start-up's command does
        SetCursorPos(900, 700);  // away: Windows sends the window under it moves of its own
        form = std::make_unique<Form1>(runner, clock);
        form->Load();
        DoEvents();
        runner.calls.clear();
        clock.readings = 0;
    }
    // Destroying the window takes Wine 2 s (it waits for a window manager that never answers),
    // so a test with a form of its own costs that much more.
    void TearDown() override {
        form.reset();
        DoEvents();
        RemoveCaptureFolder();
    }

    void SetTarget(const DateTime& t) { SetTargetFields(*form, t); }
    // One tick as the timer raises it, so not inside another one.
    void Tick() { form->Timer1().Fire(); }
    // The command lines started since the load, each checked to run hidden as the system's own
    // cmd.exe: shutdown in the system folder, where cmd finds the system's own shutdown first; a
    // started program in its own folder.
    Lines Commands() const {
        Lines lines;
        for (const auto& call : runner.calls) {
            const bool start = call.commandLine.rfind(L"cmd.exe /d /c start ", 0) == 0;
            EXPECT_EQ(call.showState, SW_HIDE);
            EXPECT_EQ(call.applicationName, SystemFolder() + L"\\cmd.exe");
            EXPECT_EQ(call.currentFolder == SystemFolder(), !start) << call.commandLine;
            lines.push_back(call.commandLine);
        }
        return lines;
    }

    RecordingRunner runner;
    ScriptedClock clock;
    std::unique_ptr<Form1> form;
};

}  // namespace velmora
