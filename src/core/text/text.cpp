#include "core/text/text.h"

#include <initializer_list>

void IntToDecimal(int32_t value, char* dest) {
    if (value == 0) {
        dest[0] = '0';
        dest[1] = '\0';
        return;
    }
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        *dest++ = '-';
        magnitude = 0u - magnitude;
    }
    char* digits = dest;
    while (magnitude > 0) {
        // Division by ten through the reciprocal: exact for every 32-bit value.
        const uint32_t quotient =
            static_cast<uint32_t>((static_cast<uint64_t>(magnitude) * 0xCCCCCCCDu) >> 35);
        *dest++ = static_cast<char>('0' + (magnitude - quotient * 10));
        magnitude = quotient;
    }
    *dest = '\0';
    for (char* last = dest - 1; digits < last; ++digits, --last) {
        const char swap = *digits;
        *digits = *last;
        *last = swap;
    }
}

BoundedText::BoundedText(char* buffer, uint32_t limit)
    : position_(buffer), count_(0), limit_(limit), refused_(limit == 0) {}

void BoundedText::AppendChar(char c) {
    if (refused_) return;
    if (count_ >= limit_) {
        refused_ = true;
        return;
    }
    *position_++ = c;
    ++count_;
}

void BoundedText::AppendNumber(int32_t value) {
    if (refused_) return;
    if (count_ >= limit_) {
        refused_ = true;
        return;
    }
    char scratch[16];
    IntToDecimal(value, scratch);
    uint32_t length = 0;
    while (scratch[length] != '\0') ++length;
    count_ += length;
    if (count_ > limit_) {
        refused_ = true;
        return;
    }
    for (uint32_t i = 0; i < length; ++i) *position_++ = scratch[i];
}

void BoundedText::AppendTerminator() { AppendChar('\0'); }

void BuildZoomText(int32_t zoom, char* buffer) {
    // Cleared first: a text cut at the limit would otherwise have no terminator.
    for (uint32_t i = 0; i < STATUS_TEXT_BUFFER; ++i) buffer[i] = '\0';
    const int32_t whole = zoom / 100;
    const int32_t hundredths = zoom % 100;
    BoundedText text(buffer, STATUS_TEXT_LIMIT);
    text.AppendNumber(whole);
    if (hundredths != 0) {
        text.AppendChar('.');
        if (hundredths < 10) text.AppendChar('0');
        text.AppendNumber(hundredths);
    }
    text.AppendChar('%');
    text.AppendTerminator();
}

void BuildPointText(int32_t x, int32_t y, char* buffer) {
    BoundedText text(buffer, STATUS_TEXT_LIMIT);
    text.AppendNumber(x);
    text.AppendChar(':');
    text.AppendNumber(y);
    text.AppendTerminator();
}

namespace {

constexpr uint32_t RED_SHIFT = 16;
constexpr uint32_t GREEN_SHIFT = 8;
constexpr uint32_t ALPHA_SHIFT = 24;
constexpr uint32_t BYTE_MASK = 0xFFu;
constexpr uint32_t BYTE_BITS = 8;
constexpr uint32_t NIBBLE_BITS = 4;
constexpr uint32_t NIBBLE_MASK = 0xFu;
constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
constexpr uint32_t DECIMAL_BASE = 10;

void AppendText(BoundedText& text, const char* item) {
    while (*item != '\0') text.AppendChar(*item++);
}

void AppendHexByte(BoundedText& text, uint32_t byte) {
    text.AppendChar(HEX_DIGITS[(byte >> NIBBLE_BITS) & NIBBLE_MASK]);
    text.AppendChar(HEX_DIGITS[byte & NIBBLE_MASK]);
}

// AppendNumber takes signed values; a larger one goes as its leading digits
// and its last digit, which no status text is long enough to separate.
void AppendUnsigned(BoundedText& text, uint32_t value) {
    if (value <= static_cast<uint32_t>(INT32_MAX)) {
        text.AppendNumber(static_cast<int32_t>(value));
        return;
    }
    text.AppendNumber(static_cast<int32_t>(value / DECIMAL_BASE));
    text.AppendNumber(static_cast<int32_t>(value % DECIMAL_BASE));
}

}  // namespace

void BuildColourText(uint32_t pixel, bool withAlpha, char* buffer) {
    const uint32_t red = (pixel >> RED_SHIFT) & BYTE_MASK;
    const uint32_t green = (pixel >> GREEN_SHIFT) & BYTE_MASK;
    const uint32_t blue = pixel & BYTE_MASK;
    BoundedText text(buffer, STATUS_TEXT_LIMIT);
    text.AppendChar('#');
    AppendHexByte(text, red);
    AppendHexByte(text, green);
    AppendHexByte(text, blue);
    AppendText(text, "  ");
    text.AppendNumber(static_cast<int32_t>(red));
    text.AppendChar(',');
    text.AppendNumber(static_cast<int32_t>(green));
    text.AppendChar(',');
    text.AppendNumber(static_cast<int32_t>(blue));
    if (withAlpha) {
        AppendText(text, "  a=");
        text.AppendNumber(static_cast<int32_t>(pixel >> ALPHA_SHIFT));
    }
    text.AppendTerminator();
}

void BuildDeepColourText(uint16_t red, uint16_t green, uint16_t blue, uint16_t alpha, bool withAlpha,
                         const char* depthTag, char* buffer) {
    BoundedText text(buffer, STATUS_TEXT_LIMIT);
    text.AppendChar('#');
    for (uint16_t channel : {red, green, blue}) {
        AppendHexByte(text, static_cast<uint32_t>(channel) >> BYTE_BITS);
        AppendHexByte(text, channel & BYTE_MASK);
    }
    AppendText(text, "  ");
    text.AppendNumber(red);
    text.AppendChar(',');
    text.AppendNumber(green);
    text.AppendChar(',');
    text.AppendNumber(blue);
    if (withAlpha) {
        AppendText(text, "  a=");
        text.AppendNumber(alpha);
    }
    AppendText(text, depthTag);
    text.AppendTerminator();
}

void BuildPictureText(uint32_t width, uint32_t height, int32_t index, int32_t count, char* buffer) {
    BuildPictureText(width, height, index, count, FrameReadout{}, buffer);
}

void BuildPictureText(uint32_t width, uint32_t height, int32_t index, int32_t count, const FrameReadout& frame,
                      char* buffer) {
    BoundedText text(buffer, STATUS_TEXT_LIMIT);
    AppendUnsigned(text, width);
    AppendText(text, " x ");
    AppendUnsigned(text, height);
    // index < count keeps index + 1 from overflowing.
    if (index >= 0 && count > 0 && index < count) {
        AppendText(text, "   ");
        text.AppendNumber(index + 1);
        text.AppendChar('/');
        text.AppendNumber(count);
    }
    if (frame.label != nullptr && frame.frame < frame.frames) {
        AppendText(text, "   ");
        AppendText(text, frame.label);
        text.AppendChar(' ');
        AppendUnsigned(text, frame.frame + 1);
        text.AppendChar('/');
        AppendUnsigned(text, frame.frames);
    }
    text.AppendTerminator();
}

std::wstring FillPattern(const std::wstring& pattern, std::initializer_list<std::wstring> arguments) {
    constexpr wchar_t ARGUMENT_MARK = L'%';
    constexpr wchar_t FIRST_ARGUMENT = L'1';
    constexpr wchar_t LAST_ARGUMENT = L'9';
    std::wstring text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] == ARGUMENT_MARK && next >= FIRST_ARGUMENT && next <= LAST_ARGUMENT &&
            static_cast<size_t>(next - FIRST_ARGUMENT) < arguments.size()) {
            text += arguments.begin()[next - FIRST_ARGUMENT];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
