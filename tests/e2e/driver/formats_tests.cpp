// The decoders beside GDI+: JPEG kinds against libjpeg-turbo's own djpeg,
// WebP against dwebp and its lossless source, 16-bit PNG values read back
// from part 4, the system's codecs (WIC) for DDS and TGA, their extensions
// in folder stepping, and the reason for a 12-bit JPEG. The reference
// pictures come from tests/e2e/scripts/make-pictures.
#include <cmath>

#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr int CLIENT_W = 240;
constexpr int CLIENT_H = 180;
// A decode against the reference decoder's own: each channel within 1.
constexpr int REFERENCE_TOLERANCE = 1;

// Copies a generated picture into the case folder; skips the case when the
// tools could not make it.
void TakeGenerated(Kiv& kiv, const std::string& name) {
    const std::string from = Settings().picturesDir + "\\" + name;
    if (Settings().picturesDir.empty() || GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES)
        Skip("%s was not made (see make-pictures in the setup's output)", name.c_str());
    REQUIRE(CopyFileA(from.c_str(), (kiv.Dir() + "\\" + name).c_str(), FALSE), "cannot copy %s", name.c_str());
}

Picture Reference(const std::string& name, std::vector<uint8_t>* alpha = nullptr) {
    Picture picture;
    REQUIRE(ReadNetpbm(Settings().picturesDir + "\\" + name, picture, alpha), "cannot read %s", name.c_str());
    return picture;
}

// Brings the window titled name to the front at a known size.
HWND Front(Kiv& kiv, const std::string& name) {
    HWND child = kiv.ChildTitled(Widen(name));
    REQUIRE(child, "no window titled %s", name.c_str());
    kiv.Activate(child);
    REQUIRE(SetClientSize(child, CLIENT_W, CLIENT_H), "cannot size the window of %s", name.c_str());
    return child;
}

// The colour readout at picture pixel (x, y) of a picture shown at 100 %.
std::string ReadoutAt(Kiv& kiv, HWND child, const Picture& picture, int x, int y) {
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    MoveCursorToClient(child, static_cast<int>(LayoutX(child, view).dest) + x, static_cast<int>(LayoutY(child, view).dest) + y);
    RefreshReadouts(child);
    return kiv.Status(4);
}

uint8_t EightBits(uint16_t value) { return static_cast<uint8_t>(std::lround(value * 255.0 / 65535.0)); }
uint8_t OverBlack(uint8_t colour, uint8_t alpha) { return static_cast<uint8_t>(std::lround(colour * alpha / 255.0)); }

// Straight colours with alpha as the view paints them: laid over black.
Picture LaidOverBlack(const Picture& straight, const std::vector<uint8_t>& alpha) {
    Picture shown = straight;
    shown.colour = [straight, alpha](int x, int y) {
        const uint32_t c = straight.colour(x, y);
        const uint8_t a = alpha[static_cast<size_t>(y) * straight.width + x];
        return uint32_t{OverBlack(c >> 16 & 0xff, a)} << 16 | uint32_t{OverBlack(c >> 8 & 0xff, a)} << 8 |
               OverBlack(c & 0xff, a);
    };
    return shown;
}

}  // namespace

E2E_CASE(formats, jpeg_kinds_match_djpeg) {
    Kiv kiv("formats_jpeg");
    const char* const kinds[] = {"progressive", "arithmetic", "cmyk", "greyscale"};
    std::vector<std::wstring> files;
    for (const char* kind : kinds) {
        TakeGenerated(kiv, std::string(kind) + ".jpg");
        files.push_back(Widen(std::string(kind) + ".jpg"));
    }
    kiv.Start(files);
    for (const char* kind : kinds) {
        const Picture reference = Reference(std::string(kind) + ".ppm");
        HWND child = Front(kiv, std::string(kind) + ".jpg");
        ViewExpectation view = {&reference, ZOOM_UNIT, 0, 0, REFERENCE_TOLERANCE, true};
        ExpectView(child, view, Format("%s JPEG against djpeg", kind).c_str());
    }
}

E2E_CASE(formats, webp_lossy_lossless_with_alpha_and_an_animation_first_frame) {
    Kiv kiv("formats_webp");
    for (const char* name : {"lossy.webp", "lossless.webp", "animated.webp"}) TakeGenerated(kiv, name);
    kiv.Start({L"lossy.webp", L"lossless.webp", L"animated.webp"});

    const Picture lossy = Reference("lossy.ppm");
    ExpectView(Front(kiv, "lossy.webp"), {&lossy, ZOOM_UNIT, 0, 0, REFERENCE_TOLERANCE, true}, "lossy WebP against dwebp");

    // Lossless: the source's colours exactly, laid over black where translucent;
    // part 4 reads them as decoded, with their alpha.
    std::vector<uint8_t> alpha;
    const Picture straight = Reference("rgba.pam", &alpha);
    const Picture shown = LaidOverBlack(straight, alpha);
    HWND child = Front(kiv, "lossless.webp");
    ExpectView(child, {&shown, ZOOM_UNIT, 0, 0, REFERENCE_TOLERANCE, true}, "lossless WebP with alpha");
    for (const POINT p : {POINT{0, 0}, POINT{40, 30}, POINT{80, 60}, POINT{159, 119}}) {
        const std::string want = ColourReadout(straight.colour(p.x, p.y), alpha[static_cast<size_t>(p.y) * straight.width + p.x]);
        const std::string got = ReadoutAt(kiv, child, shown, p.x, p.y);
        CHECK(got == want, "lossless WebP at (%ld,%ld): part 4 reads \"%s\", not \"%s\"", p.x, p.y, got.c_str(),
              want.c_str());
    }

    // An animation opens on its first frame (the source, lossless).
    const Picture first = Reference("source.ppm");
    ExpectView(Front(kiv, "animated.webp"), {&first, ZOOM_UNIT, 0, 0}, "first frame of an animated WebP");
}

// PNG kinds libpng turns into 32-bit pixels in its own ways, against
// ImageMagick's decode; the interlaced 16-bit one also keeps its values
// (the source's times 257) for part 4.
E2E_CASE(formats, png_kinds_match_imagemagick) {
    Kiv kiv("formats_png");
    const char* const kinds[] = {"interlaced8", "interlaced16", "palette", "palette-alpha", "grey2"};
    std::vector<std::wstring> files;
    for (const char* kind : kinds) {
        TakeGenerated(kiv, std::string(kind) + ".png");
        files.push_back(Widen(std::string(kind) + ".png"));
    }
    kiv.Start(files);
    for (const char* kind : kinds) {
        std::vector<uint8_t> alpha;
        const Picture straight = Reference(std::string(kind) + ".pam", &alpha);
        const Picture shown = LaidOverBlack(straight, alpha);
        HWND child = Front(kiv, std::string(kind) + ".png");
        ExpectView(child, {&shown, ZOOM_UNIT, 0, 0}, Format("%s PNG against ImageMagick", kind).c_str());
        if (std::string(kind) != "interlaced16") continue;
        for (const POINT p : {POINT{0, 0}, POINT{81, 59}, POINT{159, 119}}) {
            const uint32_t c = straight.colour(p.x, p.y);
            const unsigned red = (c >> 16 & 0xff) * 257, green = (c >> 8 & 0xff) * 257, blue = (c & 0xff) * 257;
            const std::wstring want = Widen(Format("#%04X%04X%04X  %u,%u,%u", red, green, blue, red, green, blue)) + L" (16位)";
            ReadoutAt(kiv, child, shown, p.x, p.y);
            CHECK(kiv.StatusW(4) == want, "interlaced 16-bit PNG at (%ld,%ld): part 4 reads \"%s\", not \"%s\"", p.x, p.y,
                  Narrow(kiv.StatusW(4)).c_str(), Narrow(want).c_str());
        }
    }
}

// 16-bit values whose high and low bytes differ, in every colour type of that
// depth: part 4 reads them exactly, the screen shows their nearest 8 bits.
E2E_CASE(formats, sixteen_bit_png_values_read_back_exactly) {
    Kiv kiv("formats_png16");
    constexpr int W = 90, H = 70;
    auto value = [](int x, int y, int channel) {
        return static_cast<uint16_t>((x * 733 + y * 4099 + channel * 20011 + 0x0102) & 0xFFFF);
    };
    struct Kind {
        const char* name;
        int channels;
    } kinds[] = {{"grey16.png", 1}, {"greyalpha16.png", 2}, {"rgb16.png", 3}, {"rgba16.png", 4}};
    std::vector<std::wstring> files;
    for (const Kind& kind : kinds) {
        std::vector<uint16_t> values;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < kind.channels; ++c) values.push_back(value(x, y, c));
        REQUIRE(WriteBytes(kiv.Dir() + "\\" + kind.name, EncodeDeepPng(W, H, kind.channels, values)),
                "cannot write %s", kind.name);
        files.push_back(Widen(kind.name));
    }
    kiv.Start(files);
    for (const Kind& kind : kinds) {
        const bool hasAlpha = kind.channels % 2 == 0;
        const bool grey = kind.channels < 3;
        auto rgba = [&](int x, int y, int c) {  // c: 0..2 colour, 3 alpha
            if (c == 3) return hasAlpha ? value(x, y, kind.channels - 1) : static_cast<uint16_t>(0xFFFF);
            return value(x, y, grey ? 0 : c);
        };
        Picture shown{W, H, [&](int x, int y) {
                          const uint8_t a = EightBits(rgba(x, y, 3));
                          return uint32_t{OverBlack(EightBits(rgba(x, y, 0)), a)} << 16 |
                                 uint32_t{OverBlack(EightBits(rgba(x, y, 1)), a)} << 8 | OverBlack(EightBits(rgba(x, y, 2)), a);
                      }};
        HWND child = Front(kiv, kind.name);
        ExpectView(child, {&shown, ZOOM_UNIT, 0, 0, REFERENCE_TOLERANCE, true}, kind.name);
        for (const POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{37, 51}, POINT{W - 1, H - 1}}) {
            std::string want = Format("#%04X%04X%04X  %u,%u,%u", rgba(p.x, p.y, 0), rgba(p.x, p.y, 1), rgba(p.x, p.y, 2),
                                      rgba(p.x, p.y, 0), rgba(p.x, p.y, 1), rgba(p.x, p.y, 2));
            if (hasAlpha) want += Format("  a=%u", rgba(p.x, p.y, 3));
            const std::wstring wantText = Widen(want) + L" (16位)";
            ReadoutAt(kiv, child, shown, p.x, p.y);
            const std::wstring got = kiv.StatusW(4);
            CHECK(got == wantText, "%s at (%ld,%ld): part 4 reads \"%s\", not \"%s\"", kind.name, p.x, p.y,
                  Narrow(got).c_str(), Narrow(wantText).c_str());
        }
    }
}

// DDS and TGA, which neither the program's libraries nor GDI+ decode: the
// system's codecs do, and their extensions join folder stepping.
E2E_CASE(formats, system_codecs_open_dds_and_tga_and_step_to_them) {
    Kiv kiv("formats_wic");
    TakeGenerated(kiv, "plain.dds");
    const Picture source = Reference("source.ppm");
    const Picture pattern = PatternPicture(70, 50);
    REQUIRE(WriteBytes(kiv.Dir() + "\\rows_up.tga", EncodeTga(pattern, false)) &&
                WriteBytes(kiv.Dir() + "\\rows_down.tga", EncodeTga(pattern, true)) &&
                WriteBytes(kiv.Dir() + "\\first.bmp", EncodeBmp(pattern)),
            "cannot write the pictures");
    HWND child = kiv.Start({L"first.bmp"});
    REQUIRE(SetClientSize(child, CLIENT_W, CLIENT_H), "cannot size the window");
    const struct {
        const wchar_t* title;
        const Picture* picture;
        const char* part3;
    } steps[] = {{L"plain.dds", &source, "160 x 120   2/4"},
                 {L"rows_down.tga", &pattern, "70 x 50   3/4"},
                 {L"rows_up.tga", &pattern, "70 x 50   4/4"}};
    for (const auto& step : steps) {
        kiv.SendCommand(IDM_NEXT);
        CHECK(WaitUntil([&] { return WindowTextW(child) == step.title && kiv.Status(3) == step.part3; }, WAIT_TIMEOUT_MS),
              "stepped to \"%s\" with part 3 \"%s\", not %s with \"%s\"", Narrow(WindowTextW(child)).c_str(),
              kiv.Status(3).c_str(), Narrow(step.title).c_str(), step.part3);
        ExpectView(child, {step.picture, ZOOM_UNIT, 0, 0}, Narrow(step.title).c_str());
    }
}

// A JPEG of 12 bits per sample, which this build of libjpeg-turbo does not
// decode, has its own reason; the frame header's precision is all it takes.
E2E_CASE(formats, twelve_bit_jpeg_has_its_reason) {
    Kiv kiv("formats_12bit");
    std::vector<uint8_t> jpeg = EncodeJpeg(kiv.Dir() + "\\scratch.jpg", BlockPicture(32, 24));
    size_t frame = 2;
    while (frame + 4 < jpeg.size() && !(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0))
        frame += 2 + (jpeg[frame + 2] << 8 | jpeg[frame + 3]);
    REQUIRE(frame + 4 < jpeg.size(), "no baseline frame header in the JPEG");
    jpeg[frame + 1] = 0xC1;  // extended sequential, which allows 12 bits
    jpeg[frame + 4] = 12;
    REQUIRE(WriteBytes(kiv.Dir() + "\\deep.jpg", jpeg) && WriteBytes(kiv.Dir() + "\\keeper.bmp", EncodeBmp(PatternPicture(20, 20))),
            "cannot write the files");
    kiv.Start({L"keeper.bmp"});
    kiv.Drop(kiv.Children()[0], {kiv.Dir() + "\\deep.jpg"});
    const MessageBoxSeen seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == CannotOpenText(kiv.Dir() + "\\deep.jpg", REASON_TWELVE_BIT_JPEG), "the message reads \"%s\"",
          Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);
}

}  // namespace e2e
