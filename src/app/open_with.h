// kiv in Explorer's "Open with" list, for the current user only (no
// administrator needed): HKCU\Software\Classes\Applications\kiv.exe with the
// types it opens and its open command. The default program of a type is
// never touched.
#pragma once

#include <string>
#include <vector>

// Writes the entries for the running kiv.exe and the given extensions
// (".png"), replacing any earlier ones. False when the registry refused.
bool AddToOpenWith(const std::vector<std::wstring>& extensions);
// Takes the entries out again; true also when there were none.
bool RemoveFromOpenWith();
