// The commands of the menus and keys. The document window carries out the
// view's; the program's menus, keys and frame refer to all of them; the key
// table (keys.h) binds keys to them. Each id is also the id of the command's
// description in the string tables (the list of keys shows it). Plain
// defines, as the resource compiler reads this file too.
#pragma once

#define IDM_EXIT 40001
#define IDM_TILEHORZ 40002
#define IDM_TILEVERT 40003
#define IDM_CASCADE 40004
#define IDM_NEW 40005
#define IDM_CLOSE 40006
#define IDM_OPEN 40007
#define IDM_NEXT 40008
#define IDM_PREVIOUS 40009
#define IDM_ZOOM_IN 40010
#define IDM_ZOOM_OUT 40011
#define IDM_ZOOM_IN_PRESET 40012
#define IDM_ZOOM_OUT_PRESET 40013
#define IDM_ACTUAL_SIZE 40014
#define IDM_FIT 40015
#define IDM_ROTATE_CLOCKWISE 40016
#define IDM_ROTATE_ANTICLOCKWISE 40017
#define IDM_FLIP 40018
#define IDM_COPY_PICTURE 40019
#define IDM_COPY_PATH 40020
#define IDM_RELOAD 40021
#define IDM_AUTO_RELOAD 40022
#define IDM_LINK_VIEWS 40023
#define IDM_PAUSE_ANIMATION 40024
#define IDM_PREVIOUS_FRAME 40025
#define IDM_NEXT_FRAME 40026
// Keys without a menu item: scrolling.
#define IDM_SCROLL_LEFT 40030
#define IDM_SCROLL_RIGHT 40031
#define IDM_SCROLL_UP 40032
#define IDM_SCROLL_DOWN 40033
#define IDM_PAGE_UP 40034
#define IDM_PAGE_DOWN 40035
#define IDM_HOME 40036
#define IDM_END 40037
// The 比较 menu.
#define IDM_SET_REFERENCE 40040
#define IDM_DIFFERENCE_VIEW 40041
#define IDM_METRIC_NEXT 40042
#define IDM_METRIC_PREVIOUS 40043
// One per metric, in the order of DifferenceMetric.
#define IDM_METRIC_FIRST 40044
#define IDM_METRIC_ABSOLUTE 40044
#define IDM_METRIC_SQUARED 40045
#define IDM_METRIC_RELATIVE_ABSOLUTE 40046
#define IDM_METRIC_RELATIVE_SQUARED 40047
#define IDM_METRIC_SIGNED 40048
#define IDM_METRIC_TOLERANCE_MASK 40049
#define IDM_METRIC_LAST 40049
#define IDM_EXPOSURE_UP 40050
#define IDM_EXPOSURE_DOWN 40051
#define IDM_TOLERANCE_UP 40052
#define IDM_TOLERANCE_DOWN 40053
#define IDM_TOLERANCE_UP_16 40054
#define IDM_TOLERANCE_DOWN_16 40055
#define IDM_ALIGN_TOP_LEFT 40056
#define IDM_ALIGN_CENTRE 40057
#define IDM_SHOW_REFERENCE 40058
#define IDM_AUTO_FLICKER 40059
#define IDM_WIPE 40060
#define IDM_OFFSET_LEFT 40061
#define IDM_OFFSET_RIGHT 40062
#define IDM_OFFSET_UP 40063
#define IDM_OFFSET_DOWN 40064
#define IDM_OFFSET_LEFT_10 40065
#define IDM_OFFSET_RIGHT_10 40066
#define IDM_OFFSET_UP_10 40067
#define IDM_OFFSET_DOWN_10 40068
#define IDM_OFFSET_RESET 40069
#define IDM_COMPARE_INFO 40070

// What the wheel does: gestures the view reads itself, listed with the keys
// but never sent as commands.
#define IDG_WHEEL_SCROLL 40090
#define IDG_WHEEL_PAGE 40091
#define IDG_WHEEL_SCROLL_SIDEWAYS 40092
#define IDG_WHEEL_PAGE_SIDEWAYS 40093
#define IDG_WHEEL_ZOOM 40094
#define IDG_WHEEL_ZOOM_PRESET 40095

// The program's own commands, which no document window carries out.
// 选项 menu:
#define IDM_NEW_FRAME_EACH_START 40101
#define IDM_OPEN_WITH_ADD 40102
#define IDM_OPEN_WITH_REMOVE 40103
// 文件 → 最近打开的文件: the list's entries are IDM_RECENT_FIRST + 0 (the
// newest) to + 9, filled in at run time before 清除列表.
#define IDM_RECENT_CLEAR 40104
#define IDM_RECENT_FIRST 40110
// 选项 → 语言 / Language, and 帮助.
#define IDM_LANGUAGE_CHINESE 40120
#define IDM_LANGUAGE_ENGLISH 40121
#define IDM_KEYS 40122
#define IDM_ABOUT 40123
