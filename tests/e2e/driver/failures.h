// Shared by the cases that end the program with a message box.
#pragma once

#include <vector>

namespace e2e {

class Kiv;

// Waits for the program's message box, checks text, caption and the single OK
// button, presses OK and checks that the program ends with code 0.
void ExpectFatalMessage(Kiv& kiv, const std::vector<const wchar_t*>& allowedTexts, const char* context);

}  // namespace e2e
