// The open-file dialog's request for the program picker, and how its answer becomes the
// text of Text5.
#include "actions/picker_request.h"

namespace velmora {

namespace {

// One entry, closed by the double NUL that ends the list; the embedded NULs would cut a
// plain C string short, so the length is given explicitly.
constexpr wchar_t kFilter[] = L"所有文件\0*.*\0\0";
constexpr std::size_t kFilterLength = sizeof(kFilter) / sizeof(kFilter[0]) - 1;
constexpr wchar_t kPickerTitle[] = L"请选择文件";

std::wstring FolderOf(std::wstring_view path) {
    const std::size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring_view::npos) {
        return {};  // no folder: the dialog opens in the current one
    }
    // "C:" alone would mean the drive's current folder, not its root; keep the backslash.
    if (last == 2 && path[1] == L':') {
        return std::wstring(path.substr(0, 3));
    }
    return std::wstring(path.substr(0, last));
}

}  // namespace

PickerRequest BuildPickerRequest(std::wstring_view exePath) {
    PickerRequest request;
    request.filter.assign(kFilter, kFilterLength);
    // A buffer of 254 blanks, but with a NUL in front, so that the dialog proposes no name. The
    // blanks themselves would be the proposed name, and Wine's dialog, asked to open it (Enter
    // as it comes up), joins its folder and the 254 blanks in a MAX_PATH buffer on its stack
    // and brings the program down.
    request.fileBuffer.assign(kPickerBufferChars - 1, L' ');
    request.fileBuffer[0] = L'\0';
    request.fileTitleBuffer.assign(kPickerBufferChars - 1, L' ');
    request.initialDir = FolderOf(exePath);
    request.title = kPickerTitle;
    return request;
}

std::wstring PickerResultText(bool chosen, std::wstring_view returnedBuffer) {
    if (!chosen) {
        return {};  // cancelled or failed: an earlier path is dropped too
    }
    // The dialog writes the path and a NUL over the blanks; what follows is leftover.
    return std::wstring(returnedBuffer.substr(0, returnedBuffer.find(L'\0')));
}

}  // namespace velmora
