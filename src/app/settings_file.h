// The settings file, kiv.ini, through the system's profile functions: beside
// kiv.exe when a file of that name is there (the portable case), else in the
// user's application data folder. Reading never fails: what the file does not
// hold, or holds damaged, takes its default. Writing replaces the file whole,
// so that a crash while saving leaves the previous settings as they were.
#pragma once

#include <string>

#include "core/settings/settings.h"

// Where the settings are read from and written to; "" when nowhere.
std::wstring SettingsFilePath();

KeptSettings LoadSettings(const std::wstring& path);

// Writes every key to path + ".tmp" and moves that over path. False when the
// file could not be written; the old one is then unchanged.
bool SaveSettings(const std::wstring& path, const KeptSettings& settings);
