// The texts a document window shows itself, next to file names that may hold
// any character (so wide, for the W-functions). The program above uses some
// of them too.
#pragma once

inline constexpr wchar_t TEXT_LOADING[] = L"正在加载...";
inline constexpr wchar_t TEXT_OUT_OF_MEMORY[] = L"内存不足，无法打开这张图片。";
inline constexpr wchar_t TEXT_CLIPBOARD_FAILED[] = L"无法把图片放到剪贴板上。";
// Before the frame number of an animation in the picture readout (status
// part 3, written through the A-functions).
inline constexpr char TEXT_FRAME[] = "帧";

// Comparing.
inline constexpr wchar_t TEXT_REFERENCE_SUFFIX[] = L" [参考]";
inline constexpr wchar_t TEXT_NO_MEMORY_FOR_DIFFERENCE[] = L"内存不足，无法显示差异视图。";
inline constexpr wchar_t TEXT_NO_MEMORY_FOR_REFERENCE[] = L"内存不足，无法显示参考图。";
inline constexpr wchar_t TEXT_COMPARE_INFO_TITLE[] = L"比较信息";
inline constexpr wchar_t TEXT_INFO_NO_WINDOW[] = L"没有打开的图片。";
inline constexpr wchar_t TEXT_INFO_NO_REFERENCE[] = L"没有参考图：在一个窗口里按 Ctrl+R 把它设为参考图。";
inline constexpr wchar_t TEXT_INFO_IS_REFERENCE[] = L"这是参考图：激活另一个窗口来和它比较。";

// After the colour readout of a picture with 16 bits per channel (GBK bytes
// for the status bar's A-function).
inline constexpr wchar_t TEXT_DEEP_COLOUR_TAG[] = L" (16位)";
