// A loaded Form1 for the tests of the tick, the command labels and the capture: the commands
// are recorded instead of run, and the clock gives the readings a test lines up for it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "actions/capture_name.h"
#include "app/form1.h"
#include "platform/message_loop.h"
#include "ui/twips.h"

namespace velmora {

// Gives the queued readings one by one, then keeps the last one.
class ScriptedClock : public Clock {
  public:
    DateTime Now() override {
        if (!queued.empty()) {
            now = queued.front();
            queued.pop_front();
        }
        ++readings;
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
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(L"C:\\QORN\\*.*", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return names;
}

inline void RemoveCaptureFolder() {
    for (const std::wstring& name : CaptureFiles()) {
        DeleteFileW((kCaptureFolder + name).c_str());
    }
    RemoveDirectoryW(kCaptureFolder);
    DeleteFileW(L"C:\\QORN");  // a file that a test put in the folder's way
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
    void TearDown() override {
        form.reset();
        DoEvents();
        RemoveCaptureFolder();
    }

    void SetTarget(const DateTime& t) {
        const int values[] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
        for (int i = 1; i <= 6; ++i) {
            form->Combo1(i).SetText(ZeroPadded(values[i - 1], i == 1 ? 1 : 2));
        }
    }
    // One tick as the timer raises it, so not inside another one.
    void Tick() { form->Timer1().Fire(); }
    Lines Commands() const {
        Lines lines;
        for (const auto& call : runner.calls) {
            EXPECT_EQ(call.showState, SW_HIDE);
            lines.push_back(call.commandLine);
        }
        return lines;
    }
    // A left click on the form at a point in twips, handled at the next DoEvents.
    void PostClick(float xTwips, float yTwips) {
        const LPARAM at = MAKELPARAM(TwipsToPixels(xTwips), TwipsToPixels(yTwips));
        PostMessageW(form->Me().Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(form->Me().Hwnd(), WM_LBUTTONUP, 0, at);
    }

    RecordingRunner runner;
    ScriptedClock clock;
    std::unique_ptr<Form1> form;
};

// Where "启动"/"暂停" and "退出" take clicks, in twips of the form.
inline constexpr float kStartPauseX = 2950, kExitX = 3300, kCommandY = 300;

}  // namespace velmora
