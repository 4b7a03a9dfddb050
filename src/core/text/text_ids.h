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
#define IDS_TWELVE_BIT_JPEG 1033
// The Open dialog's file types: the pictures (their patterns follow), every
// file.
#define IDS_OPEN_FILTER_PICTURES 1030
#define IDS_OPEN_FILTER_ALL_FILES 1034
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
#define IDS_KEY_HOLD 1046
#define IDS_ABOUT_TITLE 1042
#define IDS_ABOUT_TEXT 1043
#define IDS_ABOUT_LIBRARY 1044
#define IDS_ABOUT_SYSTEM 1045

// The document window's own: an animation's frame and deep colours in the
// readouts, the reference's title, comparing's messages and the 比较信息
// window.
#define IDS_FRAME_LABEL 1050
#define IDS_DEEP_COLOUR_TAG 1051
#define IDS_REFERENCE_SUFFIX 1052
#define IDS_NO_MEMORY_FOR_DIFFERENCE 1053
#define IDS_NO_MEMORY_FOR_REFERENCE 1054
#define IDS_COMPARE_INFO_TITLE 1055
#define IDS_INFO_NO_WINDOW 1056
#define IDS_INFO_NO_REFERENCE 1057
#define IDS_INFO_IS_REFERENCE 1058

// The words of comparing (core/compare/compare_text.h, CompareWords): the
// metrics' names in the order of DifferenceMetric, then the rest.
#define IDS_METRIC_FIRST 1100
#define IDS_METRIC_ABSOLUTE 1100
#define IDS_METRIC_SQUARED 1101
#define IDS_METRIC_RELATIVE_ABSOLUTE 1102
#define IDS_METRIC_RELATIVE_SQUARED 1103
#define IDS_METRIC_SIGNED 1104
#define IDS_METRIC_TOLERANCE_MASK 1105
#define IDS_COMPARE_DIFFERENCE_MODE 1110
#define IDS_COMPARE_TOLERANCE_MODE 1111
#define IDS_COMPARE_OFFSET_MODE 1112
#define IDS_COMPARE_AUTO_FLICKER_MODE 1113
#define IDS_COMPARE_WIPE_MODE 1114
#define IDS_COMPARE_NO_REFERENCE_PIXEL 1115
#define IDS_COMPARE_IDENTICAL 1116
#define IDS_COMPARE_NO_OVERLAP 1117
#define IDS_COMPARE_DIFFERING 1118
#define IDS_COMPARE_PICTURE_LINE 1119
#define IDS_COMPARE_REFERENCE_LINE 1120
#define IDS_COMPARE_ALIGNMENT_LINE 1121
#define IDS_COMPARE_CENTRE 1122
#define IDS_COMPARE_TOP_LEFT 1123
#define IDS_COMPARE_OVERLAP_LINE 1124
#define IDS_COMPARE_NO_OVERLAP_LINE 1125
#define IDS_COMPARE_CURSOR_LINE 1126
#define IDS_COMPARE_CURSOR_OUTSIDE_LINE 1127
#define IDS_COMPARE_HEXADECIMAL 1128
#define IDS_COMPARE_WHOLE_OVERLAP_LINE 1129
#define IDS_COMPARE_STATISTICS_HEADER 1130
#define IDS_COMPARE_DIFFERING_LINE 1131
#define IDS_COMPARE_NO_MEMORY_FOR_FIGURES 1132
