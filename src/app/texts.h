// The program's own texts; those the layers below show themselves live with
// them (view/view_texts.h, win32/texts.h). The sources are UTF-8 and
// compiled with a GBK execution character set, so the Chinese texts reach
// the A-functions as GBK bytes.
#pragma once

#include "view/view_texts.h"
#include "win32/texts.h"

inline constexpr char FRAME_CLASS_NAME[] = "MDIKIVClass";
inline constexpr wchar_t FRAME_CLASS_NAME_W[] = L"MDIKIVClass";
inline constexpr char FRAME_TITLE[] = "Win32KIV MDI 多文档示例";
inline constexpr char STATUS_INITIAL_TEXT[] = "msctls_statusbar32";

inline constexpr char TEXT_STATUS_BAR_FAILED[] = "状态栏创建失败";
inline constexpr char TEXT_DECODE_FAILED[] = "无法创建GdihBitmap";
inline constexpr char TEXT_HBITMAP_FAILED[] = "无法创建HBITMAP2";
inline constexpr char TEXT_DIB_FAILED[] = "无法取得设备无关位图";
inline constexpr char TEXT_PICTURE_TOO_LARGE[] = "图片太大，无法显示";
inline constexpr char TEXT_CLASS_FAILED[] = "无法注册窗口类";
inline constexpr char TEXT_FRAME_FAILED[] = "无法创建主窗口";

// Texts the program shows through the W-functions, next to file names that
// may hold any character.
inline constexpr wchar_t VIEW_CLASS_NAME_W[] = L"Win32kivMDIChild";
inline constexpr wchar_t TEXT_CANNOT_OPEN[] = L"无法打开文件 ";
inline constexpr wchar_t TEXT_NOT_FOUND[] = L"找不到该文件。";
inline constexpr wchar_t TEXT_IS_FOLDER[] = L"这是一个文件夹，不是文件。";
inline constexpr wchar_t TEXT_UNREADABLE[] = L"无法读取该文件。";
inline constexpr wchar_t TEXT_EMPTY[] = L"文件是空的。";
inline constexpr wchar_t TEXT_NOT_A_PICTURE[] =
    L"不是本程序能打开的图片（JPEG、PNG、WebP、BMP、GIF、TIFF、ICO，以及本机已安装解码器的格式）。";
inline constexpr wchar_t TEXT_TWELVE_BIT_JPEG[] = L"这是每通道 12 位的 JPEG 图片，本程序无法解码。";
inline constexpr wchar_t TEXT_DAMAGED[] = L"图片已损坏或不完整。";
inline constexpr wchar_t TEXT_TOO_LARGE_BEFORE[] = L"图片太大（";
inline constexpr wchar_t TEXT_TOO_LARGE_AFTER[] = L" 像素），无法显示。";
inline constexpr wchar_t TEXT_TOO_MANY_FILES[] = L"一次选择的文件太多。";

// 文件 → 最近打开的文件 while the list is empty.
inline constexpr wchar_t TEXT_RECENT_NONE[] = L"（无）";
// What 选项 → 添加到“打开方式” / 从“打开方式”中移除 did.
inline constexpr wchar_t TEXT_OPEN_WITH_ADDED[] = L"kiv 已添加到“打开方式”列表。";
inline constexpr wchar_t TEXT_OPEN_WITH_REMOVED[] = L"kiv 已从“打开方式”列表中移除。";
inline constexpr wchar_t TEXT_OPEN_WITH_FAILED[] = L"无法写入注册表，“打开方式”列表没有改变。";

// The Open dialog's file types: the pictures, named by the patterns of every
// extension some decoder claims (listed at run time), then every file.
inline constexpr wchar_t OPEN_FILTER_PICTURES[] = L"图片";
inline constexpr wchar_t OPEN_FILTER_ALL_FILES[] = L"所有文件 (*.*)";
inline constexpr wchar_t OPEN_FILTER_ALL_PATTERN[] = L"*.*";
