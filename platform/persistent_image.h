// The window's persistent image: an off-screen bitmap that drawing on the form lands in while
// it is switched on, and that can be saved as a BMP file. It is never copied onto the window,
// so the window looks the same whatever the image holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/handles.h"

namespace velmora {

class PersistentImage {
  public:
    // A 32-bit image of the given size in pixels, black. Throws Win32Error when GDI cannot
    // make it, or when its BMP file would pass the format's 4 GB.
    PersistentImage(int width, int height);
    PersistentImage(const PersistentImage&) = delete;
    PersistentImage& operator=(const PersistentImage&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A memory DC with the image selected; it belongs to the image.
    HDC Dc() const { return dc_.Get(); }

    // Writes the image as a 24-bit BMP file (file header, BITMAPINFOHEADER, bottom-up rows).
    // The bytes go to a temporary file in the same folder, which is renamed to `path` once
    // complete, so a file under the final name is never half written. False when the file
    // could not be written; nothing is then left behind.
    bool SaveBmp(const std::wstring& path) const;

  private:
    int width_;
    int height_;
    MemoryDc dc_;
    BitmapHandle bitmap_;
    const std::uint32_t* pixels_ = nullptr;  // the DIB section's bits: bottom-up 0x00RRGGBB
    std::unique_ptr<SelectGuard> select_;    // declared last: deselects before the bitmap goes
};

// A device context to draw on for a form: borrowed from its persistent image while that is on
// (it stays with the image), or the window's own from GetDC (released when this goes).
class DrawingDc {
  public:
    explicit DrawingDc(HDC borrowed) : borrowed_(borrowed) {}
    explicit DrawingDc(WindowDc owned) : owned_(std::move(owned)) {}
    HDC Get() const { return owned_ ? owned_.Get() : borrowed_; }

  private:
    WindowDc owned_;
    HDC borrowed_ = nullptr;
};

}  // namespace velmora
