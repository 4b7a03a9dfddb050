// A one-way trace channel to an external debug viewer: a program whose
// top-level window has the class "DbgWinClass" and an "Edit" child in which
// the trace lines pile up.
#pragma once

#include <cstdint>

// Empties the viewer when one is running; never starts it.
void DebugClear();

// Appends text as one line, starting the viewer first when none is running.
// Without a viewer the text is dropped silently.
void DebugWrite(const char* text);

// Appends label (its first 200 bytes) followed at once by value in decimal.
void DebugPrintValue(int32_t value, const char* label);
