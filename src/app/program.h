// What the program keeps for its whole run beside its windows: the settings
// read at the start and written back whenever they change, the file they
// live in, and the lock of the one frame per session. Made by WinMain and
// handed to the frame when it is created.
#pragma once

#include <string>

#include "app/one_frame.h"
#include "app/settings_file.h"
#include "core/settings/settings.h"

struct Program {
    std::wstring settingsPath;
    KeptSettings kept;
    OneFrameLock oneFrame;

    // A settings file that cannot be written costs only the settings.
    void Save() const { SaveSettings(settingsPath, kept); }
};
