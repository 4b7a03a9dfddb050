// Copying the shown picture or its file's path to the clipboard.
#pragma once

#include <windows.h>

#include <string>

#include "document/picture.h"

// The picture as shown (after any turn) as a device-independent bitmap, and
// with its alpha as a version-5 one where it has any. False (after telling
// the user) when the memory or the clipboard is not there.
bool CopyPicture(const Picture& picture, HWND owner, HWND messageOwner);

// The full path as text.
bool CopyPath(const std::wstring& path, HWND owner, HWND messageOwner);
