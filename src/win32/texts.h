// The texts the program shows, from the string tables of the language in
// use (src/app/lang/*.rc, ids in core/text/text_ids.h). Looked up by
// explicit language, never through the thread's locale. For the
// user-interface thread.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "core/text/language.h"

// Chinese where the user's interface language is Chinese, else English.
Language UserInterfaceLanguage();

// Chinese or English, never FromSystem.
Language CurrentLanguage();
// FromSystem takes the user's interface language.
void SetLanguage(Language language);
LANGID LanguageId(Language language);

// The text of id in the current language (or, missing there, in Chinese);
// empty when neither has it. The pointer stays valid for the process.
const wchar_t* Text(UINT id);

// The text of id with %1, %2, ... replaced by the arguments in turn.
std::wstring FormatText(UINT id, std::initializer_list<std::wstring> arguments);

// UTF-8 to UTF-16 and back, for the platform-free code's texts.
std::wstring WidenUtf8(const std::string& text);
std::string NarrowUtf8(const std::wstring& text);
