// The texts the Win32 layer shows itself. Sources are UTF-8 compiled with a
// GBK execution character set, so the Chinese texts reach the A-functions as
// GBK bytes. Every layer above shows its message boxes under this caption.
#pragma once

// Caption of every message box.
inline constexpr char MESSAGE_CAPTION[] = "信息";
inline constexpr wchar_t MESSAGE_CAPTION_W[] = L"信息";

inline constexpr char TEXT_TRACE_ALLOC_FAILED[] = "_DbgDump3内存分配错误";
