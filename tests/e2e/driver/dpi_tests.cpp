// kiv on a display scaled to 150 % (144 DPI): nothing stretches the picture,
// which stays pixel for pixel at 100 %, while the status parts widen with the
// DPI. Wine takes the DPI from the prefix's registry when a process starts.
// Wine 8 treats every program as DPI aware and stretches none, so this shows
// what kiv draws at 144 DPI; that Windows will not stretch it rests on the
// manifest, read back in identity_tests.cpp.
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr DWORD BASE_DPI = 96;
constexpr DWORD SCALED_DPI = 144;
constexpr wchar_t DESKTOP_KEY[] = L"Control Panel\\Desktop";
constexpr wchar_t DPI_VALUE[] = L"LogPixels";

// The DPI of the programs started while it lives; the prefix's own setting
// comes back afterwards, also when the case fails.
class SystemDpi {
public:
    explicit SystemDpi(DWORD dpi) {
        REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, DESKTOP_KEY, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                &key_, nullptr) == ERROR_SUCCESS,
                "cannot open HKCU\\Control Panel\\Desktop");
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, DPI_VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        Set(dpi);
    }
    ~SystemDpi() {
        if (had_) Set(old_);
        else RegDeleteValueW(key_, DPI_VALUE);
        RegCloseKey(key_);
    }
    SystemDpi(const SystemDpi&) = delete;
    SystemDpi& operator=(const SystemDpi&) = delete;

private:
    void Set(DWORD dpi) {
        RegSetValueExW(key_, DPI_VALUE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    HKEY key_ = nullptr;
    DWORD old_ = BASE_DPI;
    bool had_ = false;
};

}  // namespace

E2E_CASE(dpi, picture_unscaled_and_status_parts_widened_at_144_dpi) {
    SystemDpi dpi(SCALED_DPI);
    Kiv kiv("dpi_144");
    const Picture picture = PatternPicture(101, 75);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    ExpectView(child, {&picture, ZOOM_UNIT, 0, 0}, "at 144 DPI");
    // 150 pixels at 96 DPI make 225 at 144.
    const int partWidth = STATUS_PART_WIDTH * static_cast<int>(SCALED_DPI) / static_cast<int>(BASE_DPI);
    ExpectStatusEdges(kiv, "at 144 DPI", partWidth);
    kiv.PlaceFrame(1000, 700);
    ExpectStatusEdges(kiv, "at 144 DPI, frame 1000 wide", partWidth);
}

}  // namespace e2e
