// The one way the program reports a failure it cannot go on after.
#pragma once

// Shows text in a message box with no owner, the caption "信息" (in the
// language in use) and only an OK button, then ends the process with exit
// code 0.
[[noreturn]] void ExitWithMessage(const wchar_t* text);
