// A point in a decode at which the end-to-end tests can hold it, to look at
// a window whose picture is still being decoded. The tests' own copy of the
// program (kiv_gated.exe, tests/e2e/gate) links a gate of its own in place
// of the empty one here; the program as shipped passes straight through.
#pragma once

#include <string>

// Called on the worker once the picture's memory is there, just before the
// pixels are decoded into it.
void DecodeGate(const std::wstring& fullPath);
