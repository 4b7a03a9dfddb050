// Where things are on this system: the running program's file and the
// user's folder for application data. Any length; "" when the system cannot
// say.
#pragma once

#include <string>

std::wstring ModuleFilePath();
// The roaming application data folder (%APPDATA%).
std::wstring ApplicationDataFolder();
// The process's current folder.
std::wstring CurrentFolder();
// Whether path names a file (not a folder) that exists.
bool IsExistingFile(const std::wstring& path);
