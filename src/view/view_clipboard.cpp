#include "view/view_clipboard.h"

#include <cstring>

#include "core/text/text_ids.h"
#include "win32/texts.h"
#include "core/files/paths.h"

namespace {

constexpr WORD BITS_PER_PIXEL = 32;
constexpr DWORD RED_MASK = 0x00FF0000u;
constexpr DWORD GREEN_MASK = 0x0000FF00u;
constexpr DWORD BLUE_MASK = 0x000000FFu;
constexpr DWORD ALPHA_MASK = 0xFF000000u;
constexpr uint32_t COLOUR_BITS = 0x00FFFFFFu;
// The sRGB colour space, as the header spells it ('sRGB', written out).
constexpr DWORD SRGB_COLOUR_SPACE = 0x73524742u;

// Global memory for the clipboard; freed unless the clipboard took it.
class ClipboardBlock {
public:
    explicit ClipboardBlock(size_t size) : memory_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~ClipboardBlock() {
        if (memory_ != nullptr) GlobalFree(memory_);
    }
    ClipboardBlock(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(const ClipboardBlock&) = delete;
    bool Valid() const { return memory_ != nullptr; }
    uint8_t* Lock() { return static_cast<uint8_t*>(GlobalLock(memory_)); }
    void Unlock() { GlobalUnlock(memory_); }
    bool HandTo(UINT format) {
        if (SetClipboardData(format, memory_) == nullptr) return false;
        memory_ = nullptr;
        return true;
    }

private:
    HGLOBAL memory_;
};

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {
        if (open_) EmptyClipboard();
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

size_t PixelBytes(const Picture& picture) {
    return static_cast<size_t>(picture.Width()) * picture.Height() * Picture::BYTES_PER_PIXEL;
}

// The painted colours (laid over black), the fourth byte cleared as a plain
// 32-bit bitmap wants it.
bool PutPlainBitmap(const Picture& picture) {
    ClipboardBlock block(sizeof(BITMAPINFOHEADER) + PixelBytes(picture));
    if (!block.Valid()) return false;
    uint8_t* target = block.Lock();
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(picture.Width());
    header.biHeight = static_cast<LONG>(picture.Height());  // bottom-up, as the picture's rows
    header.biPlanes = 1;
    header.biBitCount = BITS_PER_PIXEL;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(PixelBytes(picture));
    memcpy(target, &header, sizeof header);
    uint32_t* pixels = reinterpret_cast<uint32_t*>(target + sizeof header);
    const uint32_t* source = reinterpret_cast<const uint32_t*>(picture.Surface().bits);
    const size_t count = static_cast<size_t>(picture.Width()) * picture.Height();
    for (size_t i = 0; i < count; ++i) pixels[i] = source[i] & COLOUR_BITS;
    block.Unlock();
    return block.HandTo(CF_DIB);
}

// The colours as decoded, with their alpha.
bool PutBitmapWithAlpha(const Picture& picture) {
    ClipboardBlock block(sizeof(BITMAPV5HEADER) + PixelBytes(picture));
    if (!block.Valid()) return false;
    uint8_t* target = block.Lock();
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof header;
    header.bV5Width = static_cast<LONG>(picture.Width());
    header.bV5Height = static_cast<LONG>(picture.Height());
    header.bV5Planes = 1;
    header.bV5BitCount = BITS_PER_PIXEL;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5SizeImage = static_cast<DWORD>(PixelBytes(picture));
    header.bV5RedMask = RED_MASK;
    header.bV5GreenMask = GREEN_MASK;
    header.bV5BlueMask = BLUE_MASK;
    header.bV5AlphaMask = ALPHA_MASK;
    header.bV5CSType = SRGB_COLOUR_SPACE;
    header.bV5Intent = LCS_GM_IMAGES;
    memcpy(target, &header, sizeof header);
    uint32_t* pixels = reinterpret_cast<uint32_t*>(target + sizeof header);
    for (uint32_t row = 0; row < picture.Height(); ++row) {
        uint32_t* line = pixels + static_cast<size_t>(picture.Height() - 1 - row) * picture.Width();
        for (uint32_t column = 0; column < picture.Width(); ++column) line[column] = picture.DecodedColour(column, row);
    }
    block.Unlock();
    return block.HandTo(CF_DIBV5);
}

void TellFailure(HWND messageOwner) {
    MessageBoxW(messageOwner, Text(IDS_CLIPBOARD_FAILED), Text(IDS_MESSAGE_CAPTION), MB_OK);
}

}  // namespace

bool CopyPicture(const Picture& picture, HWND owner, HWND messageOwner) {
    bool copied = false;
    {
        OpenedClipboard clipboard(owner);
        copied = clipboard.Open() && PutPlainBitmap(picture) && (!picture.HasAlpha() || PutBitmapWithAlpha(picture));
    }
    if (!copied) TellFailure(messageOwner);
    return copied;
}

bool CopyPath(const std::wstring& path, HWND owner, HWND messageOwner) {
    const std::wstring shown = WithoutExtendedPrefix(path);
    bool copied = false;
    {
        OpenedClipboard clipboard(owner);
        ClipboardBlock block((shown.size() + 1) * sizeof(wchar_t));
        copied = clipboard.Open() && block.Valid();
        if (copied) {
            memcpy(block.Lock(), shown.c_str(), (shown.size() + 1) * sizeof(wchar_t));
            block.Unlock();
            copied = block.HandTo(CF_UNICODETEXT);
        }
    }
    if (!copied) TellFailure(messageOwner);
    return copied;
}
