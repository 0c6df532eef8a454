// The failure paths: a screen capture that cannot be made, the programs that the commands
// start (never ones found by search), and a window whose styling did not show it.
#include <fstream>

#include "platform/win32_error.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

using HardeningTest = LoadedForm1;

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    WindowDc dc(hwnd);
    return GetPixel(dc.Get(), x, y);
}

TEST_F(HardeningTest, ACaptureThatCannotBeMadeLeavesNoTraceAndTheTickStopsTheTimer) {
    SetTarget(clock.now);  // due at the next tick, with Option1 selected as at start
    form->SetGracePassesForTesting(1);
    form->LabelGN_Click(3);
    // Away from the screen's corner, so that a copy of the screen onto the window would show.
    form->Me().Move(6000, 4500);
    DoEvents();
    const COLORREF before = WindowPixel(form->Me().Hwnd(), 3, 3);
    form->Me().SetImageSizeForTesting(30000, 30000);  // more than a 32-bit process can hold
    Tick();
    EXPECT_EQ(Commands(), Lines{L"cmd.exe /c shutdown -s -t 20"});
    EXPECT_EQ(form->Timer1().Interval(), 0);
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    EXPECT_TRUE(CaptureFiles().empty());
    EXPECT_EQ(WindowPixel(form->Me().Hwnd(), 3, 3), before);
}

TEST_F(HardeningTest, CommandsRunTheSystemsOwnCmdAndShutdownFromTheSystemFolder) {
    const std::wstring system = SystemFolder();
    form = std::make_unique<Form1>(runner, clock);  // again, to see start-up's folder command
    form->Load();
    form->Option4().SetValue(true);
    SetTarget(clock.now);
    form->LabelGN_Click(3);
    Tick();
    form->LabelGN_Click(3);  // pause, then 运行 at the next due tick
    form->Option3().SetValue(true);
    form->Text5().SetText(L"C:\\tools\\a.exe");
    form->LabelGN_Click(3);
    Tick();
    ASSERT_EQ(runner.calls.size(), 3u);
    const std::wstring folders[] = {system, system, L""};  // a started program: this one's
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(runner.calls[i].applicationName, system + L"\\cmd.exe");
        EXPECT_EQ(runner.calls[i].currentFolder, folders[i]) << runner.calls[i].commandLine;
    }

    // The real runner hands both to the system: cmd's current folder is the system folder.
    ProcessRunner real;
    real.Start(CommandInterpreter(L"cmd.exe /c cd> \"%TEMP%\\velmora_cd.txt\"", true));
    const std::string file = std::string(getenv("TEMP")) + "\\velmora_cd.txt";
    std::string written;
    for (int i = 0; i < 200 && written.empty(); ++i, Sleep(50)) {
        std::ifstream in(file);
        std::getline(in, written);
    }
    EXPECT_EQ(FromAnsi(written), system);
    DeleteFileA(file.c_str());
}

TEST(HardeningLoad, ShowsTheWindowWhenTheStylingDidNot) {
    RecordingRunner runner;
    ScriptedClock clock;
    Form1 form(runner, clock);
    // Form_Load skipped, and with it the SetWindowPos that shows the window.
    form.SetHandlerObserver([](const Form1::HandlerCall&) {},
                            Form1::ObserverMode::kInsteadOfHandler);
    form.Load();
    EXPECT_TRUE(IsWindowVisible(form.Me().Hwnd()));
}

}  // namespace
}  // namespace velmora
