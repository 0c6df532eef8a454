// The second yardstick for the start-up and memory figures: minimal_window.cpp plus what the
// timer's window must do at start-up whatever framework builds it, each part switched on by a
// letter of the command line, so that the bench can show what every part costs under Wine:
//   k  the colour key: a layered window, made so before it is shown, shown by SetWindowPos,
//      transparent (the key colour) around the timer's four panels
//   c  the six editable drop-down combo boxes with their items and texts, each in its picture
//      box in a frame (Wine gives each drop-down list, a popup, an X window of its own)
//   o  the other standard controls: the second frame, five radio buttons, a text box with a
//      sunken edge and a push button
//   f  the label texts in the four Chinese fonts (SimSun 9 pt regular and bold, SimSun 10.5 pt,
//      KaiTi 9 pt), also given to the controls
//   p  the hidden "cmd.exe /c MD C:\QORN\" started before the window shows, as the timer starts
//      it (shown hidden, with a console of its own)
//   t  the tick: once a second a plain 1000 ms timer has the present time ("hh:mm:ss", read
//      when painted) redrawn where the timer shows its clock, as minimal_clock.exe does; for
//      the idle CPU figures, what the window must do every second on top of the tick itself
// The windows take the timer's places and sizes in pixels. Without letters it does what
// minimal_window.exe does. Nothing but Win32, like minimal_window.cpp. When VELMORA_PAINT_LOG
// names a file, it notes its steps there at its first paint, as velmora.exe does.
#include <windows.h>

namespace velmora {
namespace {

constexpr COLORREF kPinkColour = RGB(255, 128, 255);
constexpr COLORREF kKeyColour = RGB(40, 40, 40);
constexpr wchar_t kPanelClass[] = L"VelmoraMandatedPanel";

struct Parts {
    bool colourKey = false;
    bool combos = false;
    bool otherControls = false;
    bool fonts = false;
    bool command = false;
    bool tick = false;
};
Parts parts;

enum FontIndex { kRegular, kBold, kLarge, kKai, kFontCount };
HFONT fonts[kFontCount] = {};

struct Text {
    int container;  // 0 the window, 1 Frame1, 2 Frame2
    RECT rect;
    const wchar_t* text;
    FontIndex font;
    UINT align;
};
// The texts the labels show once the window is up, in pixels of their containers.
constexpr Text kTexts[] = {
    {0, {116, 15, 129, 27}, L"★", kBold, DT_RIGHT},
    {0, {140, 15, 166, 27}, L"设置", kBold, DT_LEFT},
    {0, {165, 15, 200, 27}, L"启动", kBold, DT_RIGHT},
    {0, {208, 15, 243, 27}, L"退出", kBold, DT_LEFT},
    {0, {18, 15, 102, 27}, L"▲ 00:00:00 ▲", kRegular, DT_CENTER},
    {0, {248, 14, 377, 31}, L"Velmora自动关机", kBold, DT_CENTER},
    {0, {128, 184, 249, 196}, L"网址：velmora.test", kRegular, DT_CENTER},
    {1, {41, 16, 137, 28}, L"设置任务执行时间", kRegular, DT_CENTER},
    {1, {55, 96, 126, 110}, L"※※※※※", kLarge, DT_CENTER},
    {2, {8, 16, 169, 33}, L"设置任务动作类型", kRegular, DT_CENTER},
};

// Where the clock line goes: the timer's clock label in the first frame, or the same place in
// the window when there are no frames.
constexpr RECT kClockRect = {55, 96, 126, 110};
constexpr POINT kFrame1Origin = {16, 48};
HWND clockWindow = nullptr;

// The start-up notes: the performance counter at each step's end, written at the first paint
// in velmora.exe's format ("<local time>\tstep\t<name>\t<ms since the first note>").
struct Note {
    const char* step;
    LONGLONG counter;
};
Note notes[8];
int noteCount = 0;
FILETIME firstNoteTime;
bool painted = false;

void NoteStep(const char* step) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (noteCount == 0) {
        FILETIME utc;
        GetSystemTimeAsFileTime(&utc);
        FileTimeToLocalFileTime(&utc, &firstNoteTime);
    }
    if (noteCount < 8) {
        notes[noteCount++] = {step, now.QuadPart};
    }
}

void WriteNotes() {
    NoteStep("first paint");
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VELMORA_PAINT_LOG", path, MAX_PATH);
    LARGE_INTEGER frequency;
    if (length == 0 || length >= MAX_PATH || !QueryPerformanceFrequency(&frequency)) {
        return;
    }
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    ULARGE_INTEGER first;
    first.LowPart = firstNoteTime.dwLowDateTime;
    first.HighPart = firstNoteTime.dwHighDateTime;
    for (int i = 0; i < noteCount; ++i) {
        ULONGLONG us = static_cast<ULONGLONG>(notes[i].counter - notes[0].counter) * 1000000 /
                       static_cast<ULONGLONG>(frequency.QuadPart);
        ULARGE_INTEGER ticks;
        ticks.QuadPart = first.QuadPart + us * 10;
        FILETIME time = {ticks.LowPart, ticks.HighPart};
        SYSTEMTIME st;
        FileTimeToSystemTime(&time, &st);
        char line[128];
        int size = wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u.%03u\tstep\t%s\t%u.%03u\r\n",
                             st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                             st.wMilliseconds, notes[i].step, static_cast<unsigned>(us / 1000),
                             static_cast<unsigned>(us % 1000));
        DWORD written;
        WriteFile(file, line, size, &written, nullptr);
    }
    CloseHandle(file);
}

RECT ClockRect(HWND window) {
    RECT rect = kClockRect;
    if (GetParent(window) == nullptr) {
        OffsetRect(&rect, kFrame1Origin.x, kFrame1Origin.y);
    }
    return rect;
}

void DrawTexts(HDC dc, int container) {
    if (!parts.fonts) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (const Text& text : kTexts) {
        // With the tick, the clock line takes the place of the label's first text.
        const bool replaced = parts.tick && EqualRect(&text.rect, &kClockRect);
        if (text.container == container && !replaced) {
            RECT r = text.rect;
            HGDIOBJ old = SelectObject(dc, fonts[text.font]);
            DrawTextW(dc, text.text, -1, &r, DT_WORDBREAK | DT_NOPREFIX | text.align);
            SelectObject(dc, old);
        }
    }
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// With the colour key, the window shows only its panels: the three title boxes and the large
// box, as the timer does; the rest is the key colour, which Wine cuts out of the X window.
void FillPanels(HWND window, HDC dc) {
    if (!parts.colourKey) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    Fill(dc, client, kKeyColour);
    const RECT panels[] = {
        {9, 8, 134, 33}, {134, 8, 247, 33}, {247, 8, 380, 33}, {8, 40, 381, 213}};
    for (const RECT& panel : panels) {
        Fill(dc, panel, kPinkColour);
    }
}

void DrawClock(HWND window, HDC dc) {
    if (!parts.tick || window != clockWindow) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[16];
    int length = wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    RECT rect = ClockRect(window);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = parts.fonts ? SelectObject(dc, fonts[kRegular]) : nullptr;
    DrawTextW(dc, text, length, &rect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    if (old) {
        SelectObject(dc, old);
    }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            const RECT rect = ClockRect(clockWindow);
            InvalidateRect(clockWindow, &rect, TRUE);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            FillPanels(window, dc);
            DrawTexts(dc, 0);
            DrawClock(window, dc);
            EndPaint(window, &paint);
            if (!painted) {
                painted = true;
                WriteNotes();
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Frames and picture boxes: plain child windows filled pink; the frames show their texts.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            Fill(dc, client, kPinkColour);
            DrawTexts(dc, static_cast<int>(GetWindowLongPtrW(window, GWLP_ID)));
            DrawClock(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y,
           int width, int height, HWND parent, int id, FontIndex font) {
    HWND child = CreateWindowExW(exStyle, className, text,
                                 style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width,
                                 height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (parts.fonts) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[font]), FALSE);
    }
    return child;
}

void CreateFonts() {
    struct Spec {
        int height;
        int weight;
        const wchar_t* face;
    };
    const Spec specs[kFontCount] = {{-12, FW_NORMAL, L"宋体"},
                                    {-12, FW_BOLD, L"宋体"},
                                    {-14, FW_NORMAL, L"宋体"},
                                    {-12, FW_NORMAL, L"楷体_GB2312"}};
    for (int i = 0; i < kFontCount; ++i) {
        fonts[i] = CreateFontW(specs[i].height, 0, 0, 0, specs[i].weight, FALSE, FALSE, FALSE,
                               GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, specs[i].face);
    }
}

void CreateCombos(HWND frame1) {
    // Picture boxes in Frame1, each filled by its combo box, which sits 2 px up and left so that
    // the box clips its border; the dropped-down list adds 200 px to the combo's height.
    struct Box {
        int x, y, width, comboWidth, first, last;
        bool zeroLast;
        const wchar_t* text;
    };
    const Box boxes[] = {
        {16, 43, 46, 51, 1, 0, false, L"2014"}, {72, 43, 38, 43, 1, 12, false, L"05"},
        {120, 43, 38, 43, 1, 31, false, L"11"}, {16, 67, 46, 51, 1, 23, true, L"10"},
        {72, 67, 38, 43, 1, 59, true, L"10"},   {120, 67, 38, 43, 1, 59, true, L"10"}};
    int id = 10;
    for (const Box& box : boxes) {
        HWND picture = Child(kPanelClass, L"", WS_CLIPCHILDREN | WS_TABSTOP, 0, box.x, box.y,
                             box.width, 15, frame1, id++, kRegular);
        HWND combo =
            Child(L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, -2,
                  -2, box.comboWidth, 20 + 200, picture, id++, kRegular);
        for (int n = box.first; n <= box.last; ++n) {
            wchar_t item[4] = {static_cast<wchar_t>(L'0' + n / 10),
                               static_cast<wchar_t>(L'0' + n % 10), 0, 0};
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        if (box.zeroLast) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"00"));
        }
        SetWindowTextW(combo, box.text);
    }
}

void CreateOtherControls(HWND frame2) {
    Child(L"EDIT", L"", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 21, 96, 92, 18,
          frame2, 30, kRegular);
    Child(L"BUTTON", L"运行", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 21, 80, 87, 17, frame2, 31,
          kRegular);
    Child(L"BUTTON", L"浏览", BS_PUSHBUTTON | WS_TABSTOP, 0, 120, 96, 37, 18, frame2, 32, kKai);
    HWND first = Child(L"BUTTON", L"关机+截屏", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 13, 40, 87, 17,
                       frame2, 33, kRegular);
    Child(L"BUTTON", L"重启+截屏", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 13, 56, 87, 17, frame2, 34,
          kRegular);
    Child(L"BUTTON", L"关机", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 104, 40, 63, 17, frame2, 35,
          kRegular);
    Child(L"BUTTON", L"重启", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 104, 56, 63, 17, frame2, 36,
          kRegular);
    SendMessageW(first, BM_SETCHECK, BST_CHECKED, 0);
}

void StartHiddenCommand() {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    wchar_t commandLine[] = L"cmd.exe /c MD C:\\QORN\\";
    if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

// The letters follow the program's name on the command line (quoted or not).
void ReadParts() {
    const wchar_t* c = GetCommandLineW();
    if (*c == L'"') {
        for (++c; *c != 0 && *c != L'"'; ++c) {
        }
        if (*c == L'"') {
            ++c;
        }
    } else {
        for (; *c != 0 && *c != L' ' && *c != L'\t'; ++c) {
        }
    }
    for (; *c != 0; ++c) {
        parts.colourKey |= *c == L'k';
        parts.combos |= *c == L'c';
        parts.otherControls |= *c == L'o';
        parts.fonts |= *c == L'f';
        parts.command |= *c == L'p';
        parts.tick |= *c == L't';
    }
}

}  // namespace
}  // namespace velmora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace velmora;
    NoteStep("WinMain");
    ReadParts();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kPinkColour);
    windowClass.lpszClassName = L"VelmoraMandated";
    RegisterClassW(&windowClass);
    WNDCLASSW panelClass = {};
    panelClass.lpfnWndProc = PanelProc;
    panelClass.hInstance = instance;
    panelClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panelClass.lpszClassName = kPanelClass;
    RegisterClassW(&panelClass);

    if (parts.fonts) {
        CreateFonts();
        NoteStep("fonts");
    }
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName,
                                  L"Mandated window", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 389, 221,
                                  nullptr, nullptr, instance, nullptr);
    NoteStep("window");
    if (parts.combos || parts.otherControls) {
        HWND frame1 =
            Child(kPanelClass, L"", WS_CLIPCHILDREN, 0, 16, 48, 181, 129, window, 1, kRegular);
        if (parts.combos) {
            CreateCombos(frame1);
        }
        clockWindow = frame1;
    }
    if (parts.otherControls) {
        HWND frame2 =
            Child(kPanelClass, L"", WS_CLIPCHILDREN, 0, 192, 48, 181, 137, window, 2, kRegular);
        CreateOtherControls(frame2);
    }
    NoteStep("controls");
    if (parts.command) {
        StartHiddenCommand();
        NoteStep("capture folder command");
    }
    if (parts.colourKey) {
        SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, kKeyColour, 0, LWA_COLORKEY);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 389, 221, SWP_SHOWWINDOW);
    } else {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    NoteStep("colour key, shown");

    if (parts.tick) {
        if (clockWindow == nullptr) {
            clockWindow = window;
        }
        SetTimer(window, 1, 1000, nullptr);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
