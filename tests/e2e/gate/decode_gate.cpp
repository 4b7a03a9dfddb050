// The tests' decode gate, linked into kiv_gated.exe in place of the
// program's empty one: while an event named "kiv-e2e-gate <file name>"
// exists and is not set, a decode of a file of that name waits at the gate.
#include <windows.h>

#include "document/decode_gate.h"
#include "win32/win32_owners.h"

void DecodeGate(const std::wstring& fullPath) {
    const std::wstring name = fullPath.substr(fullPath.find_last_of(L"\\/") + 1);
    const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, (L"kiv-e2e-gate " + name).c_str());
    if (event == nullptr) return;
    const FileHandle gate(event);
    WaitForSingleObject(gate.Get(), INFINITE);
}
