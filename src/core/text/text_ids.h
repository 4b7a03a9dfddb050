// The ids of the texts the program shows, in the string tables of each
// language (src/app/lang/*.rc); a command's description has the command's
// own id (core/keys/commands.h). Adding a text: an id here and one line in
// the string table of each language. Plain defines, as the resource compiler
// reads this file too.
#pragma once

// The caption of every message box, and the start-up failures that end the
// program (the first version's texts).
#define IDS_MESSAGE_CAPTION 1000
#define IDS_TRACE_ALLOC_FAILED 1001
#define IDS_FRAME_TITLE 1002
#define IDS_STATUS_BAR_FAILED 1003
#define IDS_DECODE_FAILED 1004
#define IDS_DIB_FAILED 1005
#define IDS_PICTURE_TOO_LARGE 1006
#define IDS_CLASS_FAILED 1007
#define IDS_FRAME_FAILED 1008

// Why a file does not open: the message "%1\n%2" (IDS_CANNOT_OPEN with the
// path, and the reason), or the reason alone in status part 3.
#define IDS_CANNOT_OPEN 1020
#define IDS_NOT_FOUND 1021
#define IDS_IS_FOLDER 1022
#define IDS_UNREADABLE 1023
#define IDS_EMPTY 1024
#define IDS_NOT_A_PICTURE 1025
#define IDS_DAMAGED 1026
#define IDS_TOO_LARGE 1027
#define IDS_OUT_OF_MEMORY 1028
#define IDS_TOO_MANY_FILES 1029
// The Open dialog's file types: caption|patterns|caption|patterns|.
#define IDS_OPEN_FILTER 1030
#define IDS_LOADING 1031
#define IDS_CLIPBOARD_FAILED 1032

// 文件 → 最近打开的文件 while the list is empty; what 选项 → 添加到“打开方式”
// / 从“打开方式”中移除 did.
#define IDS_RECENT_NONE 1035
#define IDS_OPEN_WITH_ADDED 1036
#define IDS_OPEN_WITH_REMOVED 1037
#define IDS_OPEN_WITH_FAILED 1038

// Help: the list of keys and the about box.
#define IDS_KEYS_TITLE 1040
#define IDS_KEY_WHEEL 1041
#define IDS_ABOUT_TITLE 1042
#define IDS_ABOUT_TEXT 1043
#define IDS_ABOUT_LIBRARY 1044
#define IDS_ABOUT_SYSTEM 1045
