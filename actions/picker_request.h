// The program picker's request to the open-file dialog, and how its answer becomes the text
// of Text5, as plain values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The 4.0 size of OPENFILENAMEW, without the fields that Windows 2000 added: every comdlg32
// takes it. It follows the pointers' size; a 64-bit comdlg32 refuses the 32-bit size
// (CDERR_STRUCTSIZE) and opens no dialog.
inline constexpr std::uint32_t kPickerRecordSize = sizeof(void*) == 8 ? 136 : 76;
inline constexpr std::uint32_t kPickerFlags = 0x1804;  // FILEMUSTEXIST|PATHMUSTEXIST|HIDEREADONLY
inline constexpr int kPickerBufferChars = 255;         // 254 characters and a NUL

struct PickerRequest {
    std::wstring filter;           // "所有文件" NUL "*.*" NUL NUL (embedded NULs)
    std::wstring fileBuffer;       // a NUL, then 253 blanks: no name proposed
    std::wstring fileTitleBuffer;  // 254 blanks
    std::wstring initialDir;       // folder of the program's own file
    std::wstring title;            // "请选择文件"
    std::uint32_t flags = kPickerFlags;
    std::uint32_t structSize = kPickerRecordSize;
};

// exePath is the program's own full path ("C:\x\velmora.exe" gives "C:\x").
PickerRequest BuildPickerRequest(std::wstring_view exePath);

// The text of Text5 after the dialog: on success the buffer up to its first NUL, else "".
std::wstring PickerResultText(bool chosen, std::wstring_view returnedBuffer);

}  // namespace velmora
