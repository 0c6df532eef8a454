// PersistentImage: a DIB section in a memory DC, and its BMP file.
#include "platform/persistent_image.h"

#include <cstring>
#include <vector>

#include "platform/win32_error.h"

namespace velmora {

namespace {

struct FileTraits {
    using Handle = HANDLE;
    static void Close(HANDLE h) { CloseHandle(h); }
};
using FileHandle = UniqueHandle<FileTraits>;

// The BMP file's bytes: headers, then the rows bottom-up, 3 bytes a pixel (blue, green, red),
// each row padded to a multiple of 4 bytes.
constexpr DWORD kBmpHeaderBytes = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);

// The BMP file's size; more than its 32-bit size fields can hold for a very large image.
std::uint64_t BmpFileBytes(int width, int height) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    return kBmpHeaderBytes + stride * static_cast<std::uint64_t>(height);
}

std::vector<BYTE> BmpBytes(const std::uint32_t* pixels, int width, int height) {
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD offset = kBmpHeaderBytes;
    const DWORD size = static_cast<DWORD>(BmpFileBytes(width, height));
    std::vector<BYTE> bytes(size, 0);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = size;
    file.bfOffBits = offset;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // positive: bottom-up, as the DIB section holds them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * static_cast<DWORD>(height);
    info.biXPelsPerMeter = 3780;  // 96 dots per inch
    info.biYPelsPerMeter = 3780;
    memcpy(bytes.data(), &file, sizeof file);
    memcpy(bytes.data() + sizeof file, &info, sizeof info);

    BYTE* row = bytes.data() + offset;
    for (int y = 0; y < height; ++y, row += stride) {
        const std::uint32_t* source = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<BYTE>(source[x]);
            row[x * 3 + 1] = static_cast<BYTE>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(source[x] >> 16);
        }
    }
    return bytes;
}

bool WriteWhole(const std::wstring& path, const std::vector<BYTE>& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return false;
    }
    DWORD written = 0;
    // To the disk before the rename: a shutdown follows within seconds of the capture.
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.Get());
}

}  // namespace

PersistentImage::PersistentImage(int width, int height) : width_(width), height_(height) {
    // An image that no BMP file can hold is refused before GDI is asked: a 64-bit process may
    // well be given a DIB section of many gigabytes, whose file sizes would then wrap round.
    if (width <= 0 || height <= 0 || BmpFileBytes(width, height) > MAXDWORD) {
        throw Win32Error("PersistentImage: no BMP file holds this size", ERROR_NOT_ENOUGH_MEMORY);
    }
    dc_ = MemoryDc(CheckHandle(CreateCompatibleDC(nullptr), "CreateCompatibleDC"));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = BitmapHandle(CheckHandle(
        CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0), "CreateDIBSection"));
    pixels_ = static_cast<const std::uint32_t*>(bits);
    select_ = std::make_unique<SelectGuard>(dc_.Get(), bitmap_.Get());
}

bool PersistentImage::SaveBmp(const std::wstring& path) const {
    GdiFlush();  // drawing may still sit in GDI's batch instead of in the bits
    const std::vector<BYTE> bytes = BmpBytes(pixels_, width_, height_);

    // Written under a temporary name in the final file's own folder, then renamed there: the
    // folder only ever holds whole files under final names, and the rename never turns into a
    // copy (as a move from %TEMP% on another drive would, which a shutdown can cut short).
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), L"vlm", 0, temp) == 0) {
        return false;
    }
    if (!WriteWhole(temp, bytes) ||
        !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return false;
    }
    return true;
}

}  // namespace velmora
