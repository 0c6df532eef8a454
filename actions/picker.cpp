// The open-file dialog of the program picker. The wide function takes the record: through the
// ANSI one, the Chinese title and filter name become question marks on every system whose code
// page is not 936, and a chosen file whose name lies outside the code page comes back as a
// path that does not exist.
#include "actions/picker.h"

#include <commdlg.h>

#include <cstddef>
#include <vector>

namespace velmora {

namespace {

using GetOpenFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// The record without the fields that Windows 2000 added (OPENFILENAME_SIZE_VERSION_400W, whose
// macro is no constant expression), checked here for each build's bitness against the real record.
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == kPickerRecordSize,
              "the picker's record size is the 4.0 size of OPENFILENAMEW");

GetOpenFileNameFunction BoundGetOpenFileName() {
    // Bound once and kept: the library is never freed, so the pointer stays good.
    static const GetOpenFileNameFunction bound = []() -> GetOpenFileNameFunction {
        HMODULE library = LoadLibraryW(L"comdlg32.dll");
        if (library == nullptr) {
            return nullptr;
        }
        FARPROC address = GetProcAddress(library, "GetOpenFileNameW");
        // Through void(*)(), which GCC lets convert to any function pointer without a warning.
        return reinterpret_cast<GetOpenFileNameFunction>(reinterpret_cast<void (*)()>(address));
    }();
    return bound;
}

// The current folder as it is now, put back when it goes: the dialog moves it to the folder of
// the file chosen whatever OFN_NOCHANGEDIR says, and a folder that is some process's current one
// keeps its drive busy (a USB stick "in use" when it is ejected).
class CurrentFolderKept {
  public:
    CurrentFolderKept() {
        folder_.resize(GetCurrentDirectoryW(0, nullptr));
        if (!folder_.empty()) {
            folder_.resize(
                GetCurrentDirectoryW(static_cast<DWORD>(folder_.size()), folder_.data()));
        }
    }
    ~CurrentFolderKept() {
        if (!folder_.empty()) {
            folder_.push_back(L'\0');
            SetCurrentDirectoryW(folder_.data());
        }
    }
    CurrentFolderKept(const CurrentFolderKept&) = delete;
    CurrentFolderKept& operator=(const CurrentFolderKept&) = delete;

  private:
    std::vector<wchar_t> folder_;
};

// A writable copy with its terminating NUL: the dialog writes into the buffers it is given.
std::vector<wchar_t> Writable(const std::wstring& text) {
    std::vector<wchar_t> buffer(text.begin(), text.end());
    buffer.push_back(L'\0');
    return buffer;
}

}  // namespace

PickerAnswer ShowOpenFileDialog(HWND owner, HINSTANCE instance, const PickerRequest& request) {
    GetOpenFileNameFunction getOpenFileName = BoundGetOpenFileName();
    if (getOpenFileName == nullptr) {
        return {};
    }
    std::vector<wchar_t> file = Writable(request.fileBuffer);
    std::vector<wchar_t> fileTitle = Writable(request.fileTitleBuffer);

    OPENFILENAMEW record{};
    record.lStructSize = request.structSize;
    record.hwndOwner = owner;
    record.hInstance = instance;
    record.lpstrFilter = request.filter.c_str();
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    // No folder at all lets the dialog start in the current one.
    record.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
    record.lpstrTitle = request.title.c_str();
    record.Flags = request.flags;

    PickerAnswer answer;
    {
        const CurrentFolderKept kept;
        answer.chosen = getOpenFileName(&record) != FALSE;
    }
    answer.fileBuffer.assign(file.data(), file.size());
    return answer;
}

std::wstring ProgramFilePath() {
    // GetModuleFileNameW cuts a long path short and says so only by filling the buffer.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace velmora
