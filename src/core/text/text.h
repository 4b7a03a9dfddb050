// Decimal text and item-by-item text building under a byte limit, in place
// of a formatting library.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Every status-bar text is built under this limit into a 256-byte buffer.
constexpr uint32_t STATUS_TEXT_LIMIT = 250;
constexpr uint32_t STATUS_TEXT_BUFFER = 256;

// Writes value as decimal text and a zero byte: no "+", no leading zeros.
// dest must hold 12 bytes (the text of INT32_MIN and its terminator).
void IntToDecimal(int32_t value, char* dest);

// Builds a text item by item and never accounts more than limit bytes. The
// first item that does not fit and every later one are dropped whole, so the
// text ends after the last item that fitted; no number is cut.
class BoundedText {
public:
    BoundedText(char* buffer, uint32_t limit);

    void AppendChar(char c);
    void AppendNumber(int32_t value);
    // The zero byte counts towards the limit like any character.
    void AppendTerminator();

    uint32_t Count() const { return count_; }
    bool Refused() const { return refused_; }

private:
    char* position_;
    uint32_t count_;
    uint32_t limit_;
    bool refused_;
};

// The zoom readout: 10000 -> "100%", 625 -> "6.25%", 1250 -> "12.50%".
// buffer holds STATUS_TEXT_BUFFER bytes.
void BuildZoomText(int32_t zoom, char* buffer);

// "x:y", for the pixel readouts. buffer holds STATUS_TEXT_BUFFER bytes.
void BuildPointText(int32_t x, int32_t y, char* buffer);

// The colour readout of a picture pixel as decoded: "#1E90FF  30,144,255",
// and with withAlpha "#1E90FF  30,144,255  a=128". pixel is as stored in our
// surfaces: bytes blue, green, red, alpha (0xAARRGGBB as a uint32_t).
// buffer holds STATUS_TEXT_BUFFER bytes.
void BuildColourText(uint32_t pixel, bool withAlpha, char* buffer);

// The colour readout of a pixel decoded with 16 bits per channel:
// "#FFFF80000001  65535,32768,1" then depthTag (" (16位)" as the caller
// spells it), and with withAlpha "  a=4096" before the tag. buffer holds
// STATUS_TEXT_BUFFER bytes.
void BuildDeepColourText(uint16_t red, uint16_t green, uint16_t blue, uint16_t alpha, bool withAlpha,
                         const char* depthTag, char* buffer);

// The picture readout: "6000 x 4000   3/17", the place 1-based; without the
// place ("6000 x 4000") when index < 0, count <= 0 or index >= count. Sides
// are written in full, past INT32_MAX too. buffer holds STATUS_TEXT_BUFFER
// bytes.
void BuildPictureText(uint32_t width, uint32_t height, int32_t index, int32_t count, char* buffer);

// Which frame of an animation is shown, for the picture readout: label is
// the word before the numbers (the caller's, in the caller's character set).
struct FrameReadout {
    const char* label = nullptr;
    uint32_t frame = 0;  // 0-based, shown 1-based
    uint32_t frames = 0;
};
// The picture readout of an animation: "400 x 300   3/17   <label> 4/12";
// the frame part as frame + 1 and frames, left out when frames is 0 or frame
// is not below it.
void BuildPictureText(uint32_t width, uint32_t height, int32_t index, int32_t count, const FrameReadout& frame,
                      char* buffer);

// pattern with %1, %2, ... %9 replaced by the arguments in turn; a mark
// without its argument stays as it is. The arguments are not searched for
// marks themselves.
std::wstring FillPattern(const std::wstring& pattern, std::initializer_list<std::wstring> arguments);
