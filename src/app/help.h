// The 帮助 menu: the list of keys (F1), a window of its own that stays open
// beside the frame, and the about box.
#pragma once

#include <windows.h>

// Registers the class of the list of keys; false when the system refuses.
bool RegisterKeyListClass(HINSTANCE instance);

// Opens the list of keys, or brings it to the front when it is open.
void ShowKeyList(HWND frame);

// Writes the list's caption and lines again, in the language now in use.
void RewriteKeyList();

// Escape in the list closes it; true when the message was that key.
bool CloseKeyListOnEscape(const MSG& message);

// Whether the message is for the list of keys, whose keys are its own.
bool IsKeyListMessage(const MSG& message);

// The about box: version (from the version resource), build, the libraries
// inside and their licences.
void ShowAbout(HWND frame);
