// A corpus of damaged files in the six formats, as animated GIFs and as WebP
// (still, with alpha and animated, made by make-pictures), made the same way
// on every run: cut short, bytes flipped, size fields set to 0, 1, 65535 and
// 0x7FFFFFFF. Each is shown or refused with a message that names it and a
// reason it can have; nothing crashes or hangs, and the window opened first
// stays open throughout.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <set>

#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

enum Outcome : unsigned {
    SHOWN = 1,
    DAMAGED = 2,
    NOT_A_PICTURE = 4,
    TOO_LARGE = 8,
    OUT_OF_MEMORY = 16,
};
// Whatever the decoder makes of a file whose header still reads.
constexpr unsigned DECODER_DECIDES = SHOWN | DAMAGED | TOO_LARGE | OUT_OF_MEMORY;

constexpr int BASE_WIDTH = 48;
constexpr int BASE_HEIGHT = 40;
constexpr uint32_t SIZE_VALUES[] = {0, 1, 65535, 0x7FFFFFFF};
constexpr int FLIPS_PER_FORMAT = 6;
constexpr DWORD ANIMATION_PLAYS_MS = 250;  // a few frames of an animation

struct Specimen {
    std::string name;
    std::vector<uint8_t> bytes;
    unsigned allowed;
    std::wstring onlyReason;  // when set, the one message reason allowed
};

// A size field of a header: where it is and what it means.
struct Field {
    const char* label;
    size_t at;
    int bytes;
    bool bigEndian;
    int axis;  // 1 the picture's width, 2 its height, 0 anything else
};

// A well-formed file of one format and what its header needs to be read.
struct Base {
    const char* format;
    std::vector<uint8_t> bytes;
    size_t signature;  // bytes of the signature
    size_t header;     // bytes before the size can be read
    std::vector<Field> fields;
    size_t pngCrcChunk = 0;  // the IHDR chunk whose CRC follows its fields (PNG)
};

// The offset of the first segment with this marker (its 0xFF), or 0.
size_t JpegSegment(const std::vector<uint8_t>& jpeg, uint8_t marker) {
    constexpr uint8_t START_OF_SCAN = 0xDA;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        if (jpeg[at + 1] == marker) return at;
        if (jpeg[at + 1] == START_OF_SCAN) break;
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    return 0;
}

size_t Find(const std::vector<uint8_t>& bytes, const char* text) {
    const std::string wanted(text);
    const auto found = std::search(bytes.begin(), bytes.end(), wanted.begin(), wanted.end());
    return found == bytes.end() ? 0 : static_cast<size_t>(found - bytes.begin());
}

// Where the blocks of a GIF lie: its image descriptors and graphic control
// extensions in order, and the loop count of its NETSCAPE extension.
struct GifBlocks {
    std::vector<size_t> images;
    std::vector<size_t> controls;
    size_t loop = 0;
};

GifBlocks WalkGif(const std::vector<uint8_t>& gif) {
    constexpr size_t SCREEN_END = 13, DESCRIPTOR = 10, APPLICATION_LENGTH = 11, LOOP_FIELD = 16;
    constexpr uint8_t EXTENSION = 0x21, IMAGE = 0x2C, CONTROL = 0xF9, APPLICATION = 0xFF, TABLE = 0x80;
    GifBlocks blocks;
    if (gif.size() < SCREEN_END) return blocks;
    auto table = [](uint8_t packed) -> size_t { return packed & TABLE ? 3u << ((packed & 7) + 1) : 0; };
    auto pastSubBlocks = [&gif](size_t at) {
        while (at < gif.size() && gif[at] != 0) at += gif[at] + 1u;
        return at + 1;
    };
    size_t at = SCREEN_END + table(gif[10]);
    while (at + 1 < gif.size()) {
        if (gif[at] == EXTENSION) {
            if (gif[at + 1] == CONTROL) blocks.controls.push_back(at);
            if (gif[at + 1] == APPLICATION && at + LOOP_FIELD + 2 <= gif.size() &&
                std::memcmp(&gif[at + 3], "NETSCAPE2.0", APPLICATION_LENGTH) == 0)
                blocks.loop = at + LOOP_FIELD;
            at = pastSubBlocks(at + 2);
        } else if (gif[at] == IMAGE && at + DESCRIPTOR < gif.size()) {
            blocks.images.push_back(at);
            at = pastSubBlocks(at + DESCRIPTOR + table(gif[at + 9]) + 1);
        } else {
            break;
        }
    }
    return blocks;
}

// WebP: the RIFF header, then a VP8, VP8L or VP8X chunk; fields per
// container (the size is libwebp's to read, so each is the decoder's call).
void AddWebPBases(std::vector<Base>& bases) {
    constexpr size_t SIGNATURE = 12;  // "RIFF", its length, "WEBP"
    const Field riff = {"riffsize", 4, 4, false, 0}, chunk = {"chunksize", 16, 4, false, 0};
    const Field canvasW = {"canvaswidth", 24, 3, false, 0}, canvasH = {"canvasheight", 27, 3, false, 0};
    const struct {
        const char* file;
        const char* format;
        size_t header;
        std::vector<Field> fields;
    } kinds[] = {
        {"lossy.webp", "webp-lossy", 30, {riff, chunk, {"width", 26, 2, false, 0}, {"height", 28, 2, false, 0}}},
        {"lossless.webp", "webp-lossless", 25, {riff, chunk, {"dimensions", 21, 4, false, 0}}},
        {"alpha-lossy.webp", "webp-alpha", 30, {riff, chunk, canvasW, canvasH}},
        {"animated.webp", "webp-animated", 30,
         {riff, canvasW, canvasH, {"loops", 42, 2, false, 0}, {"framewidth", 58, 3, false, 0},
          {"frameheight", 61, 3, false, 0}, {"duration", 64, 3, false, 0}}},
    };
    for (const auto& kind : kinds) {
        Base base{kind.format, ReadBytes(Settings().picturesDir + "\\" + kind.file), SIGNATURE, kind.header, kind.fields};
        if (base.bytes.size() <= kind.header) {
            Note("%s was not made (see make-pictures in the setup's output): no %s in the corpus", kind.file, kind.format);
            continue;
        }
        bases.push_back(std::move(base));
    }
}

std::vector<Base> Bases(const std::string& scratch) {
    const Picture pattern = PatternPicture(BASE_WIDTH, BASE_HEIGHT), blocks = BlockPicture(BASE_WIDTH, BASE_HEIGHT);
    std::vector<Base> bases;
    bases.push_back({"bmp", EncodeBmp(pattern), 2, 26,
                     {{"width", 18, 4, false, 1}, {"height", 22, 4, false, 2}, {"offset", 10, 4, false, 0},
                      {"header", 14, 4, false, 0}, {"image", 34, 4, false, 0}, {"colours", 46, 4, false, 0}}});
    const std::vector<uint8_t> png = EncodePng(scratch + ".png", pattern);
    bases.push_back({"png", png, 8, 24,
                     {{"width", 16, 4, true, 1}, {"height", 20, 4, true, 2},
                      {"data", Find(png, "IDAT") - 4, 4, true, 0}},
                     8});
    constexpr size_t GIF_IMAGE_AT = 13 + 256 * 3;
    bases.push_back({"gif", EncodeGif(blocks), 6, 10,
                     {{"width", 6, 2, false, 1}, {"height", 8, 2, false, 2},
                      {"imagewidth", GIF_IMAGE_AT + 5, 2, false, 0}, {"imageheight", GIF_IMAGE_AT + 7, 2, false, 0}}});
    // An animated GIF (make-pictures): the second frame's place, size and
    // delay, and the loop count.
    const std::vector<uint8_t> animated = ReadBytes(Settings().picturesDir + "\\animated.gif");
    const GifBlocks walked = WalkGif(animated);
    if (walked.images.size() == 3 && walked.controls.size() == 3 && walked.loop != 0) {
        const size_t second = walked.images[1];
        bases.push_back({"gif-animated", animated, 6, 10,
                         {{"frameleft", second + 1, 2, false, 0}, {"frametop", second + 3, 2, false, 0},
                          {"framewidth", second + 5, 2, false, 0}, {"frameheight", second + 7, 2, false, 0},
                          {"delay", walked.controls[1] + 4, 2, false, 0}, {"loop", walked.loop, 2, false, 0}}});
    } else {
        Note("animated.gif was not made as expected (see make-pictures in the setup's output): not in the corpus");
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(scratch + ".jpg", blocks);
    const size_t frame = JpegSegment(jpeg, 0xC0), table = JpegSegment(jpeg, 0xC4);
    REQUIRE(frame && table, "the JPEG has no baseline frame header or no Huffman table");
    bases.push_back({"jpg", jpeg, 3, frame + 10,
                     {{"height", frame + 5, 2, true, 2}, {"width", frame + 7, 2, true, 1},
                      {"framelength", frame + 2, 2, true, 0}, {"tablelength", table + 2, 2, true, 0}}});
    // EncodeTiff's IFD: ten entries from offset 10, values at +8.
    auto tiffValue = [](int entry) -> size_t { return 10 + entry * 12 + 8; };
    bases.push_back({"tif", EncodeTiff(pattern), 4, tiffValue(1) + 4,
                     {{"width", tiffValue(0), 4, false, 1}, {"height", tiffValue(1), 4, false, 2},
                      {"stripoffset", tiffValue(5), 4, false, 0}, {"rowsperstrip", tiffValue(7), 4, false, 0},
                      {"stripbytes", tiffValue(8), 4, false, 0}}});
    // An icon's header holds its whole directory and the data each entry names.
    const std::vector<uint8_t> ico = EncodeIco(pattern);
    bases.push_back({"ico", ico, 4, ico.size(),
                     {{"entrywidth", 6, 1, false, 0}, {"entryheight", 7, 1, false, 0},
                      {"datasize", 14, 4, false, 0}, {"dataoffset", 18, 4, false, 0},
                      {"dibwidth", 26, 4, false, 0}, {"dibheight", 30, 4, false, 0}}});
    AddWebPBases(bases);
    return bases;
}

std::vector<Specimen> Corpus(const std::string& scratch) {
    std::vector<Specimen> corpus;
    uint32_t random = 20261209;  // a fixed seed: the same corpus on every run
    auto next = [&random] {
        random = random * 1103515245u + 12345u;
        return random >> 8;
    };
    for (const Base& base : Bases(scratch)) {
        REQUIRE(base.bytes.size() >= base.header && base.header > base.signature, "no %s made", base.format);
        const std::string format = base.format;
        const std::string prefix = format + "-";
        const std::string extension = "." + format.substr(0, format.find('-'));
        for (const Field& field : base.fields) {
            // Narrower fields take 0, 1 and their largest value.
            const uint32_t largest = field.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * field.bytes)) - 1;
            std::set<uint32_t> values;
            for (uint32_t value : SIZE_VALUES) values.insert(std::min(value, largest));
            for (uint32_t set : values) {
                Specimen s{prefix + field.label + "-" + std::to_string(set) + extension, base.bytes, DECODER_DECIDES, {}};
                if (field.bigEndian) SetBigEndian(s.bytes, field.at, set, field.bytes);
                else SetLittleEndian(s.bytes, field.at, set, field.bytes);
                if (base.pngCrcChunk) FixPngChunkCrc(s.bytes, base.pngCrcChunk);
                if (field.axis != 0 && set == 0) {
                    s.allowed = DAMAGED;
                    s.onlyReason = REASON_DAMAGED;
                } else if (field.axis != 0 && set == 0x7FFFFFFF) {
                    s.allowed = TOO_LARGE;
                    s.onlyReason = field.axis == 1 ? TooLargeReason(set, BASE_HEIGHT) : TooLargeReason(BASE_WIDTH, set);
                }
                corpus.push_back(std::move(s));
            }
        }
        const size_t length = base.bytes.size();
        const std::set<size_t> cuts = {1, base.signature - 1, base.signature, base.header - 1, base.header,
                                       length / 2, length - 1};
        for (size_t cut : cuts) {
            if (cut == 0 || cut >= length) continue;
            Specimen s{prefix + "cut-" + std::to_string(cut) + extension,
                       std::vector<uint8_t>(base.bytes.begin(), base.bytes.begin() + cut), SHOWN | DAMAGED, {}};
            if (cut < base.signature) {
                // No signature the program reads; the system's codecs may
                // know a shorter one (two bytes of JPEG) and find the rest missing.
                s.allowed = NOT_A_PICTURE | DAMAGED;
            } else if (cut < base.header) {
                s.allowed = DAMAGED;
                s.onlyReason = REASON_DAMAGED;
            }
            corpus.push_back(std::move(s));
        }
        for (int flip = 0; flip < FLIPS_PER_FORMAT; ++flip) {
            Specimen s{prefix + "flip-" + std::to_string(flip) + extension, base.bytes, DECODER_DECIDES, {}};
            for (int i = 0; i <= flip % 4; ++i) {
                const size_t at = base.signature + next() % (length - base.signature);
                s.bytes[at] ^= static_cast<uint8_t>(next() | 1);
            }
            corpus.push_back(std::move(s));
        }
    }
    return corpus;
}

// Which outcome a message tells, or 0 when it is not a message this program gives about the file.
unsigned OutcomeOf(const std::wstring& text, const std::string& path) {
    const std::wstring start = CannotOpenText(path, L"");
    if (text.compare(0, start.size(), start) != 0) return 0;
    const std::wstring reason = text.substr(start.size());
    if (reason == REASON_DAMAGED) return DAMAGED;
    if (reason == REASON_NOT_A_PICTURE) return NOT_A_PICTURE;
    if (reason == REASON_OUT_OF_MEMORY) return OUT_OF_MEMORY;
    unsigned long long w = 0, h = 0;
    if (swscanf(reason.c_str(), L"图片太大（%llu x %llu 像素），无法显示。", &w, &h) == 2 &&
        reason == TooLargeReason(static_cast<uint32_t>(w), static_cast<uint32_t>(h)) &&
        (w > MAX_PICTURE_SIDE || h > MAX_PICTURE_SIDE || w * h * 4 > 0x7FFFFFFFull))
        return TOO_LARGE;
    return 0;
}

std::string Names(unsigned outcomes) {
    static const std::map<unsigned, const char*> names = {{SHOWN, "shown"},
                                                           {DAMAGED, "damaged"},
                                                           {NOT_A_PICTURE, "not a picture"},
                                                           {TOO_LARGE, "too large"},
                                                           {OUT_OF_MEMORY, "out of memory"}};
    std::string text;
    for (const auto& [bit, name] : names)
        if (outcomes & bit) text += text.empty() ? name : std::string(" or ") + name;
    return text;
}

}  // namespace

E2E_CASE(corpus, damaged_files_are_shown_or_refused) {
    constexpr size_t MINIMUM_CORPUS = 100;
    Kiv kiv("corpus");
    const std::string folder = kiv.Dir() + "\\files";
    MakeDirectories(folder);
    const std::vector<Specimen> corpus = Corpus(kiv.Dir() + "\\scratch");
    REQUIRE(corpus.size() >= MINIMUM_CORPUS, "only %u files in the corpus", static_cast<unsigned>(corpus.size()));
    for (const Specimen& s : corpus) REQUIRE(WriteBytes(folder + "\\" + s.name, s.bytes), "cannot write %s", s.name.c_str());
    const Picture keeperPicture = PatternPicture(150, 100);
    REQUIRE(WriteBytes(kiv.Dir() + "\\keeper.bmp", EncodeBmp(keeperPicture)), "cannot write keeper.bmp");
    kiv.Launch({L"keeper.bmp"});
    kiv.WaitFrame();
    HWND keeper = kiv.WaitChildCount(1);
    kiv.PlaceFrame(1200, 960);
    MoveChild(keeper, 0, 0);

    std::map<unsigned, int> tally;
    for (const Specimen& s : corpus) {
        const std::string path = folder + "\\" + s.name;
        const std::wstring title = Widen(s.name);
        kiv.Drop(keeper, {path});
        HWND opened = nullptr;
        auto shown = [&] {
            opened = kiv.ActiveChild();
            int64_t w = 0, h = 0;
            return opened && opened != keeper && WindowTextW(opened) == title &&
                   std::sscanf(kiv.Status(3).c_str(), "%lld x %lld", &w, &h) == 2;
        };
        REQUIRE(WaitUntil([&] { return kiv.FindMessageBox() || shown(); }, WAIT_TIMEOUT_MS),
                "%s: neither shown nor refused", s.name.c_str());
        unsigned outcome = SHOWN;
        if (kiv.FindMessageBox()) {
            const MessageBoxSeen seen = kiv.WaitMessageBox(false);
            outcome = OutcomeOf(seen.text, path);
            CHECK(outcome != 0 && (s.onlyReason.empty() || seen.text == CannotOpenText(path, s.onlyReason)),
                  "%s: message \"%s\"", s.name.c_str(), Narrow(seen.text).c_str());
            CHECK(seen.caption == INFO_CAPTION && seen.visibleButtons == 1 && seen.okButton,
                  "%s: caption \"%s\", %d buttons", s.name.c_str(), Narrow(seen.caption).c_str(), seen.visibleButtons);
            kiv.AnswerMessageBox(seen);
        } else {
            // Painted once more (an animation plays a few frames), then closed.
            if (s.name.find("-animated-") != std::string::npos) Pause(ANIMATION_PLAYS_MS);
            RedrawWindow(opened, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            kiv.SendCommand(IDM_CLOSE);
        }
        CHECK(outcome == 0 || (outcome & s.allowed), "%s: %s, expected %s", s.name.c_str(), Names(outcome).c_str(),
              Names(s.allowed).c_str());
        ++tally[outcome];
        kiv.WaitChildCount(1);
        REQUIRE(kiv.Children()[0] == keeper, "%s: the first window went", s.name.c_str());
    }
    std::string summary;
    for (const auto& [outcome, count] : tally)
        summary += Format(" %d %s;", count, outcome ? Names(outcome).c_str() : "unexplained");
    Note("%u files:%s", static_cast<unsigned>(corpus.size()), summary.c_str());
    kiv.Activate(keeper);
    ExpectView(keeper, {&keeperPicture, ZOOM_UNIT, 0, 0}, "the first window after the corpus");
}

}  // namespace e2e
