#include "core/session/hand_over.h"


#include "core/settings/settings.h"

namespace {

constexpr size_t UNIT_BYTES = sizeof(char16_t);

void AppendPart(std::vector<uint8_t>& block, const std::wstring& part) {
    for (wchar_t unit : part) {
        const uint16_t value = static_cast<uint16_t>(unit);
        block.push_back(static_cast<uint8_t>(value & 0xFF));
        block.push_back(static_cast<uint8_t>(value >> 8));
    }
    block.push_back(0);
    block.push_back(0);
}

}  // namespace

std::vector<uint8_t> HandOverBlock(const HandOver& handOver) {
    if (handOver.folder.size() > HAND_OVER_FOLDER_MAX || handOver.commandLine.size() > HAND_OVER_COMMAND_LINE_MAX ||
        handOver.folder.find(L'\0') != std::wstring::npos ||
        handOver.commandLine.find(L'\0') != std::wstring::npos) {
        return {};
    }
    std::vector<uint8_t> block;
    block.reserve((handOver.folder.size() + handOver.commandLine.size() + 2) * UNIT_BYTES);
    AppendPart(block, handOver.folder);
    AppendPart(block, handOver.commandLine);
    return block;
}

bool ReadHandOver(const void* block, size_t bytes, HandOver& out) {
    if (block == nullptr || bytes == 0 || bytes % UNIT_BYTES != 0 || bytes > HAND_OVER_MAX_BYTES) return false;
    const auto* data = static_cast<const uint8_t*>(block);
    const size_t units = bytes / UNIT_BYTES;
    std::wstring parts[2];
    size_t part = 0;
    for (size_t k = 0; k < units; ++k) {
        const uint16_t unit = static_cast<uint16_t>(data[k * UNIT_BYTES] | (data[k * UNIT_BYTES + 1] << 8));
        if (part == 2) return false;  // anything after the second zero
        if (unit == 0) {
            ++part;
            continue;
        }
        parts[part] += static_cast<wchar_t>(unit);
    }
    if (part != 2) return false;  // a part without its zero
    if (parts[0].size() > HAND_OVER_FOLDER_MAX || parts[1].size() > HAND_OVER_COMMAND_LINE_MAX) return false;
    if (!IsKeepablePath(parts[0]) || parts[1].empty()) return false;
    out.folder = std::move(parts[0]);
    out.commandLine = std::move(parts[1]);
    return true;
}
