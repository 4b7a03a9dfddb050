// Every text the user can see. The sources are UTF-8 and compiled with a GBK
// execution character set, so the Chinese texts reach the A-functions as
// GBK bytes.
#pragma once

inline constexpr char FRAME_CLASS_NAME[] = "MDIKIVClass";
inline constexpr char VIEW_CLASS_NAME[] = "Win32kivMDIChild";
inline constexpr char FRAME_TITLE[] = "Win32KIV MDI 多文档示例";
inline constexpr char VIEW_TITLE[] = "MDI Child";
inline constexpr char STATUS_INITIAL_TEXT[] = "msctls_statusbar32";

// Caption of every message box.
inline constexpr char MESSAGE_CAPTION[] = "信息";

inline constexpr char TEXT_STATUS_BAR_FAILED[] = "状态栏创建失败";
inline constexpr char TEXT_DECODE_FAILED[] = "无法创建GdihBitmap";
inline constexpr char TEXT_HBITMAP_FAILED[] = "无法创建HBITMAP2";
inline constexpr char TEXT_DIB_FAILED[] = "无法取得设备无关位图";
inline constexpr char TEXT_TRACE_ALLOC_FAILED[] = "_DbgDump3内存分配错误";
inline constexpr char TEXT_PICTURE_TOO_LARGE[] = "图片太大，无法显示";
inline constexpr char TEXT_CLASS_FAILED[] = "无法注册窗口类";
inline constexpr char TEXT_FRAME_FAILED[] = "无法创建主窗口";
