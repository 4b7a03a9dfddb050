// Path text of any length: splitting, joining and the extended-length
// prefix that lifts the system's old limit of 260 code units.
#pragma once

#include <string>

// After the last '\\' or '/' ("" for a folder path ending in a separator).
std::wstring FileNameOf(const std::wstring& path);

// The path before the file name, without the trailing separator, except where
// that separator belongs to the root: "C:\\x" -> "C:\\", "\\\\?\\C:\\x" ->
// "\\\\?\\C:\\", "\\x" -> "\\". "" for a bare name.
std::wstring FolderOf(const std::wstring& path);

// One separator between (a backslash unless folder already ends in one);
// name's own leading separators are dropped. An empty folder gives name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// For handing a full path of any length to the file system: "C:\\x" ->
// "\\\\?\\C:\\x", "\\\\server\\share\\x" -> "\\\\?\\UNC\\server\\share\\x".
// Paths already prefixed ("\\\\?\\", "\\\\.\\", "\\??\\") and anything not
// absolute stay unchanged. Forward slashes become backslashes in prefixed
// results, since the prefix turns off the system's own normalisation; "." and
// ".." are not resolved (a full path from the system holds none).
std::wstring ExtendedLengthPath(const std::wstring& fullPath);

// The same without the prefix, for showing and comparing: "\\\\?\\C:\\x" ->
// "C:\\x", "\\\\?\\UNC\\server\\x" -> "\\\\server\\x". A prefixed path that
// is not a drive or UNC path (a volume name) stays as it is.
std::wstring WithoutExtendedPrefix(const std::wstring& path);

// Whether two full paths name the same file as far as text can tell: equal
// after removing the prefix, ASCII letters case-insensitive, '/' and '\\'
// alike. The sharing key of an open picture compares paths this way.
bool SamePath(const std::wstring& a, const std::wstring& b);

// Whether path names a file from a root, whatever the current folder: a drive
// root ("C:\\", "C:/"), a UNC path or a prefixed one.
bool IsFullPath(const std::wstring& path);

// path as named relative to folder (a full path), the way the system resolves
// a name against a current folder: full paths stay; "\\x" is taken from
// folder's root; "D:x" from folder when it is on drive D, else from "D:\\";
// anything else is joined to folder. "." and ".." are left for the system.
std::wstring ResolvePath(const std::wstring& folder, const std::wstring& path);

// path in at most maxChars code units for a menu: the root and the file name
// stay and the folders nearest the root give way to "...", so
// "C:\\a\\b\\c\\d.png" may become "C:\\...\\c\\d.png"; a name too long by
// itself keeps its end after "...". A surrogate pair is never split.
std::wstring ShortenPath(const std::wstring& path, size_t maxChars);
