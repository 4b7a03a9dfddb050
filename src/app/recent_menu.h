// 文件 → 最近打开的文件 in both menu bars.
#pragma once

#include <string>
#include <vector>

// Puts the list (newest first) into the submenu, before 清除列表, which is
// greyed while the list is empty.
void ShowRecentFiles(const std::vector<std::wstring>& files);
