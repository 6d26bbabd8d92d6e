#pragma once
// Identifiers of the configuration utility's resources and controls, shared by the resource
// script and the code (and read back by the tests). Control identifiers are unique within one
// dialog only: the pages reuse numbers.

// Dialog templates and pictures.
#define IDD_MAIN 100
#define IDD_ABOUT 101
#define IDD_EFFECTS 102
#define IDD_GRAPHICS 103
#define IDD_MODELS 104
#define IDD_MISC 105
#define IDD_LOOKS 106
#define IDD_LOOK_NAME 107
#define IDB_BANNER 200
#define IDB_ABOUT 201

// Main dialog.
#define IDC_APPLY 1002
#define IDC_TABS 1005
#define IDC_RESET 1006
#define IDC_BANNER 1000

// About page.
#define IDC_ABOUT_PICTURE 1000
#define IDC_ABOUT_NAME 1001

// Effects page.
#define IDC_PULSAR_ONOFF 1007
#define IDC_PULSAR_ROTATE 1008
#define IDC_OSC_ONOFF 1009
#define IDC_OSC_ROTATE 1010
#define IDC_OSC_TYPE 1011
#define IDC_OSC_RENDERING_MODE 1013
#define IDC_OSC_SAMPLING_RATE 1014
#define IDC_VUM_ONOFF 1017
#define IDC_TOF_ONOFF 1018
#define IDC_VUM_TYPE 1019

// Graphics page.
#define IDC_BGR_ONOFF 1009
#define IDC_WINDOW_SIZE 1013
#define IDC_BGR_LIST 1014
#define IDC_TEX_16 1021
#define IDC_TEX_32 1022
#define IDC_MODE_WINDOWED 1041
#define IDC_MODE_FULLSCREEN 1042
#define IDC_MODE_DOCKED 1043

// 3D Models page.
#define IDC_MDL_ONOFF 1012
#define IDC_MDL_LIST 1013
#define IDC_MDL_COLOR_MAP 1014
#define IDC_MDL_EFFECTS_ONOFF 1017
#define IDC_MDL_DYNAMIC_TEXTURE 1018
#define IDC_MDL_BEAT 1026
#define IDC_MDL_EFFECTS_TYPE 1030

// Misc page.
#define IDC_AMBIENT 1002
#define IDC_SPECULAR_LEFT 1003
#define IDC_SPECULAR_RIGHT 1004
#define IDC_DIFFUSE 1006
#define IDC_STROBOSCOPE 1012
#define IDC_CAMERA 1024

// Looks page.
#define IDC_LOOK_LIST 1050
#define IDC_LOOK_USE 1051
#define IDC_LOOK_SAVE 1052
#define IDC_LOOK_DELETE 1053
#define IDC_LOOK_CHOSEN 1054
#define IDC_LOOK_CHANGE 1055
#define IDC_LOOK_SECONDS 1056
#define IDC_LOOK_SECONDS_SPIN 1057
#define IDC_LOOK_ORDER 1058

// The name asked for by "Save current as...".
#define IDC_LOOK_NAME 1060
