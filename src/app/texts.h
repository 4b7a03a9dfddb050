// The names the program gives its windows, which are no texts to translate.
// Every text the user reads comes from the string tables (win32/texts.h).
#pragma once

inline constexpr wchar_t FRAME_CLASS_NAME[] = L"MDIKIVClass";
inline constexpr wchar_t VIEW_CLASS_NAME_W[] = L"Win32kivMDIChild";
inline constexpr wchar_t STATUS_INITIAL_TEXT[] = L"msctls_statusbar32";
// The Open dialog's pattern for every file.
inline constexpr wchar_t OPEN_FILTER_ALL_PATTERN[] = L"*.*";
