#include "document/decode_gate.h"

// Alone in its file, so that a gate linked in its place leaves this one out.
void DecodeGate(const std::wstring&) {}
