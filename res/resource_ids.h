// Resource and control ids shared by the dialog resources and the program.
// Plain macros so that the resource compiler can read them too.
#pragma once

#define IDI_Z4UTILITY 128
#define IDD_CONFIG 129
// The maintenance panel's controls, added to the main window.
#define IDD_MAINTENANCE_PANEL 138
#define IDD_STATUS 103
// The manifest that names the GdiPlus side-by-side assembly (not the program's own).
#define IDR_GDIPLUS_MANIFEST 101

// Main window, settings panel
#define IDC_SETTING_0 1029
#define IDC_SETTING_1 1030
#define IDC_FORMAT_TIFF 1013
#define IDC_FORMAT_PNG 1012
#define IDC_IMAGEMOVE_0 1066
#define IDC_IMAGEMOVE_1 1067
#define IDC_OFFTIME_TRACKBAR 1064
#define IDC_STABTIME_TRACKBAR 1065
#define IDC_DENSITY_TRACKBAR 1073
#define IDC_OFFTIME_VALUE 1068
#define IDC_STABTIME_VALUE 1069
#define IDC_DENSITY_VALUE 1074
#define IDC_YEAR_LIST 1070
#define IDC_MONTH_LIST 1071
#define IDC_DAY_LIST 1072
#define IDC_LBL_BOARD 1078
#define IDC_LBL_FILEDATE 1079
#define IDC_LBL_FORMAT 1080
#define IDC_LBL_OFFTIME 1081
#define IDC_LBL_STABTIME 1082
#define IDC_LBL_ADJUST 1083
#define IDC_LBL_EXTENSION 1084
#define IDC_LBL_YEAR 1085
#define IDC_LBL_MONTH 1086
#define IDC_LBL_DAY 1087
#define IDC_SHADE_THIN 1120
#define IDC_SHADE_DEEP 1121
#define IDC_SET 1026
#define IDC_CANCEL_BUTTON 1027

// Main window, maintenance panel
#define IDC_ITEM_CCD 1088
#define IDC_ITEM_EMC 1089
#define IDC_ITEM_SWLED 1090
#define IDC_ITEM_FEED 1091
#define IDC_ITEM_MEMORY 1092
#define IDC_ITEM_INFO 1093
#define IDC_ITEM_CALCLEAR 1094
#define IDC_ITEM_WAVE 1095
#define IDC_ITEM_KIBAN 1096
#define IDC_EXECUTE 1097
#define IDC_PANEL_TITLE 1098
#define IDC_FEED_ONESHOT 1099
#define IDC_FEED_CONTINUOUS 1100
#define IDC_MEMORY_ONESHOT 1101
#define IDC_MEMORY_CONTINUOUS 1102
#define IDC_NUMBER 1103
#define IDC_STOP 1104
#define IDC_NUMBER_LABEL 1118

// Status window
#define IDC_STATUS_MESSAGE 1119

// CCD level graph window
#define IDD_GRAPH 132
#define IDC_GRAPH_FRAME 1035
#define IDC_GRAPH_END 1034
#define IDC_GRAPH_PRINT 1036
#define IDC_GRAPH_SAVE 1037
// Vertical axis: 1050 at the bottom edge, 1050 + k at grid line k (1060 the top).
#define IDC_LEVEL_AXIS_0 1050
#define IDC_LEVEL_AXIS_10 1060
// Horizontal axis: 1061 at the left edge, 1063 + k at grid line k (1064 to 1073).
#define IDC_SAMPLE_AXIS_0 1061
#define IDC_SAMPLE_AXIS_1 1064
#define IDC_SAMPLE_AXIS_10 1073
#define IDC_BLACK_LEVEL 1117

// Board inspection window
#define IDD_KIBAN 135
#define IDC_KIBAN_IMAGE_CAPTION 1110
#define IDC_KIBAN_DISPLAY 1105
#define IDC_KIBAN_LOG_CAPTION 1111
#define IDC_KIBAN_LOG 1051
#define IDC_KIBAN_COMMON 1106
#define IDC_KIBAN_FILE 1107
#define IDC_KIBAN_STOP 1104
#define IDC_KIBAN_OK 1008
#define IDC_KIBAN_RETURN 1109
#define TIMER_KIBAN 1

// File name dialog
#define IDD_FILENAME 137
#define IDC_FILENAME_PROMPT 1115
#define IDC_FILENAME_EDIT 1051
#define IDC_FILENAME_SET 1034

// Timers of the main window and the status window
#define TIMER_JOB 1
#define TIMER_WATCH 2
#define TIMER_CURSOR 3
#define TIMER_STATUS_POLL 5
#define TIMER_STATUS_FIRST 6
