// Start-up notes: the performance counter at each step's end, kept in a fixed table (no heap,
// no file work until the first paint, so the notes barely move what they measure).
#include "platform/start_notes.h"

#include <windows.h>

namespace velmora {

namespace {

constexpr int kMaxNotes = 24;
constexpr wchar_t kLogVariable[] = L"VELMORA_PAINT_LOG";

struct Note {
    const char* step;
    LONGLONG counter;
};

enum class State { kUnasked, kOff, kOn, kWritten };

State state = State::kUnasked;
Note notes[kMaxNotes];
int noteCount = 0;
FILETIME firstNoteTime{};  // local time of the first note

bool Noting() {
    if (state == State::kUnasked) {
        state = GetEnvironmentVariableW(kLogVariable, nullptr, 0) > 0 ? State::kOn : State::kOff;
    }
    return state == State::kOn;
}

LONGLONG Counter() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// "yyyy-mm-dd hh:mm:ss.mmm" of a local FILETIME.
int FormatTime(char* out, ULONGLONG localTicks) {
    ULARGE_INTEGER ticks{};
    ticks.QuadPart = localTicks;
    FILETIME time{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME st{};
    FileTimeToSystemTime(&time, &st);
    return wsprintfA(out, "%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay,
                     st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

}  // namespace

void NoteStartStep(const char* step) {
    if (!Noting() || noteCount == kMaxNotes) {
        return;
    }
    if (noteCount == 0) {
        FILETIME utc{};
        GetSystemTimeAsFileTime(&utc);
        FileTimeToLocalFileTime(&utc, &firstNoteTime);
    }
    notes[noteCount++] = {step, Counter()};
}

void NoteFirstPaint() {
    if (!Noting()) {
        return;
    }
    NoteStartStep("first paint");
    state = State::kWritten;
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kLogVariable, path, MAX_PATH);
    LARGE_INTEGER frequency{};
    if (length == 0 || length >= MAX_PATH || !QueryPerformanceFrequency(&frequency)) {
        return;
    }
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    ULARGE_INTEGER first{};
    first.LowPart = firstNoteTime.dwLowDateTime;
    first.HighPart = firstNoteTime.dwHighDateTime;
    for (int i = 0; i <= noteCount; ++i) {
        const bool painted = i == noteCount;
        const Note& note = notes[painted ? noteCount - 1 : i];
        // Microseconds from the first note; FILETIME counts tenths of them.
        const ULONGLONG us = static_cast<ULONGLONG>(note.counter - notes[0].counter) * 1000000 /
                             static_cast<ULONGLONG>(frequency.QuadPart);
        char line[128];
        int size = FormatTime(line, first.QuadPart + us * 10);
        if (painted) {
            size += wsprintfA(line + size, "\tpainted\r\n");
        } else {
            size += wsprintfA(line + size, "\tstep\t%s\t%u.%03u\r\n", note.step,
                              static_cast<unsigned>(us / 1000), static_cast<unsigned>(us % 1000));
        }
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    }
    CloseHandle(file);
}

}  // namespace velmora
