// The pictures of one folder in the order the system's file browser shows
// them, as read at one moment.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct FolderList {
    std::wstring folder;              // full path, without a trailing separator
    std::vector<std::wstring> names;  // file names, in order
};

// Lists the pictures in folder; an empty list when it cannot be read.
// Reads the file system: call it off the window thread for large folders.
std::shared_ptr<const FolderList> ListFolder(const std::wstring& folder);

// The order of the system's file browser: "img2" before "img10".
int CompareNamesLikeTheBrowser(const std::wstring& a, const std::wstring& b);

// Where name stands in list (0-based), or -1.
int PlaceInFolder(const FolderList& list, const std::wstring& name);

// The full path of the neighbour of name in direction +1 or -1, wrapping;
// empty when the folder holds no picture.
std::wstring NeighbourInFolder(const FolderList& list, const std::wstring& name, int direction);
