#include "document/folder.h"

#include <windows.h>

#include <shlwapi.h>

#include "core/files/folder_order.h"
#include "core/files/paths.h"
#include "document/picture_formats.h"
#include "win32/win32_owners.h"


int CompareNamesLikeTheBrowser(const std::wstring& a, const std::wstring& b) {
    return StrCmpLogicalW(a.c_str(), b.c_str());
}

std::shared_ptr<const FolderList> ListFolder(const std::wstring& folder) {
    auto list = std::make_shared<FolderList>();
    list->folder = folder;
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileExW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (search.Valid()) {
        do {
            entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileW(search.Get(), &found));
    }
    list->names = OrderPictures(entries, CompareNamesLikeTheBrowser, KnownPictureExtensions());
    return list;
}

int PlaceInFolder(const FolderList& list, const std::wstring& name) { return FindPicture(list.names, name); }

std::wstring NeighbourInFolder(const FolderList& list, const std::wstring& name, int direction) {
    const int place = NeighbourPicture(list.names, name, direction, CompareNamesLikeTheBrowser);
    if (place < 0) return std::wstring();
    return JoinPath(list.folder, list.names[static_cast<size_t>(place)]);
}
