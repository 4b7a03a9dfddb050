#include "app/recent_menu.h"

#include <windows.h>

#include "app/globals.h"
#include "app/resource.h"
#include "app/texts.h"
#include "win32/texts.h"
#include "core/settings/recent_files.h"

namespace {

// The submenu of the bar that holds command, or null.
HMENU SubmenuHolding(HMENU bar, UINT command) {
    for (int top = 0; top < GetMenuItemCount(bar); ++top) {
        const HMENU popup = GetSubMenu(bar, top);
        for (int item = 0; popup != nullptr && item < GetMenuItemCount(popup); ++item) {
            const HMENU submenu = GetSubMenu(popup, item);
            if (submenu != nullptr && GetMenuState(submenu, command, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
                return submenu;
            }
        }
    }
    return nullptr;
}

void Fill(HMENU submenu, const std::vector<std::wstring>& files) {
    // Everything but 清除列表 goes; the list and a separator come before it.
    for (int item = GetMenuItemCount(submenu); item-- > 0;) {
        if (GetMenuItemID(submenu, item) != IDM_RECENT_CLEAR) DeleteMenu(submenu, item, MF_BYPOSITION);
    }
    UINT position = 0;
    for (size_t k = 0; k < files.size() && k < RECENT_FILES_MAX; ++k) {
        InsertMenuW(submenu, position++, MF_BYPOSITION | MF_STRING, IDM_RECENT_FIRST + k,
                    RecentFileLabel(k, files[k]).c_str());
    }
    if (files.empty()) InsertMenuW(submenu, position++, MF_BYPOSITION | MF_STRING | MF_GRAYED, 0, Text(IDS_RECENT_NONE));
    InsertMenuW(submenu, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    EnableMenuItem(submenu, IDM_RECENT_CLEAR, MF_BYCOMMAND | (files.empty() ? MF_GRAYED : MF_ENABLED));
}

}  // namespace

void ShowRecentFiles(const std::vector<std::wstring>& files) {
    for (HMENU bar : {frameMenu, childMenu}) {
        if (const HMENU submenu = SubmenuHolding(bar, IDM_RECENT_CLEAR)) Fill(submenu, files);
    }
}
