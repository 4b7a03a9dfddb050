// The file types kiv opens, as one list: the Open dialog's filter names them,
// and whatever else needs the extensions (the "Open with" registration)
// reads them from there, so that a new format is added in one place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The extensions of the patterns "*.ext" in an Open dialog filter (pairs of a
// caption and its patterns separated by ';', each ended by a zero), with their
// dot, ASCII letters in lower case, each once, in the order met. Patterns with
// a wildcard in the extension ("*.*") name no type and are left out.
std::vector<std::wstring> ExtensionsOfFilter(std::wstring_view filter);
