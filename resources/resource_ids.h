// The numbers that tie the program to its resources: dialog templates, pictures, the icon and the controls
// of the settings dialog. Read by the resource compiler and by the code, so they are plain macros.
#pragma once

// String 1 is the name the Screen Saver list shows.
#define IDS_DESCRIPTION 1

#define IDD_SETTINGS 101
#define IDD_ABOUT 105
#define IDB_SETTINGS_PICTURE 107
#define IDI_PROGRAM 111
#define IDB_PREVIEW_PICTURE 112

#define IDC_VIDEO_MODE 1000
#define IDC_USE_DESKTOP 1001
#define IDC_ENABLE_MUSIC 1003
#define IDC_SHOW_TIME 1004
#define IDC_RESTORE_DEFAULTS 1006
#define IDC_ABOUT 1008
#define IDC_MOUSE_EXIT 1011
#define IDC_VOLUME_LABEL 1017
#define IDC_VOLUME 1026
#define IDC_SHOW_FPS 1027
#define IDC_VSYNC 1028
#define IDC_GAMMA 1029
#define IDC_BRIGHTNESS_LABEL 1030
#define IDC_DEFAULT_GAMMA 1032
#define IDC_PRODUCTS_LABEL 1035
#define IDC_24_HOURS 1049
#define IDC_12_HOURS 1054
#define IDC_SPEED 1057
#define IDC_ABOUT_VERSION 1100
