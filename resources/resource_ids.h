#pragma once
// Identifiers of the program's resources and dialog controls, shared by the resource script and
// the code. Controls are numbered by dialog: 100-109 configuration, 200-206 verses editor,
// 300-304 typefaces dialog; IDOK (1), IDCANCEL (2) and IDHELP (9) are the commands of every
// dialog. Resources with names (TEXTSDLG, FONTSDLG, ABOUTDLG, TOOLBARBITMAP, ARROWLEFT,
// ARROWRIGHT, and the larger images TOOLBARBITMAP125 ... ARROWRIGHT300) are loaded by those names
// and have no number here.

// Icon group of the saver window class and of the program file.
#define IDI_VERSELUME 100

// Configuration dialog template and its controls.
#define IDD_CONFIG 2003
#define IDC_CONFIG_SECONDS 100
#define IDC_CONFIG_SECONDS_UPDOWN 101
#define IDC_CONFIG_RANDOM 102
#define IDC_CONFIG_CONSECUTIVE 103
#define IDC_CONFIG_VERSES 104
#define IDC_CONFIG_FONTS 105
#define IDC_CONFIG_POLICY 106
#define IDC_CONFIG_FADE 107
#define IDC_CONFIG_ABOUT 108
#define IDC_CONFIG_SCREENS 109

// Verses editor (TEXTSDLG).
#define IDC_TEXTS_TOOLBAR 200
#define IDC_TEXTS_NEW 201
#define IDC_TEXTS_UP 202
#define IDC_TEXTS_DOWN 203
#define IDC_TEXTS_DELETE 204
#define IDC_TEXTS_LIST 205
#define IDC_TEXTS_EDIT 206

// Typefaces dialog (FONTSDLG).
#define IDC_FONTS_AVAILABLE 300
#define IDC_FONTS_SELECTED 301
#define IDC_FONTS_ADD 302
#define IDC_FONTS_REMOVE 303
#define IDC_FONTS_SAMPLE 304

// String table.
#define IDS_DESCRIPTION 1
#define IDS_RANDOM 2
#define IDS_CONSECUTIVE 3
#define IDS_POLICY_EACH_DISPLAY 4
#define IDS_POLICY_EACH_ACTIVATION 5
#define IDS_POLICY_EACH_DAY 6
#define IDS_TOOL_NEW 7
#define IDS_TOOL_UP 8
#define IDS_TOOL_DOWN 9
#define IDS_TOOL_DELETE 10
#define IDS_NEW_VERSE 11
// The error box of a save that could not write a list; the configuration dialog stays open.
#define IDS_TEXTS_NOT_SAVED 12
#define IDS_FONTS_NOT_SAVED 13
#define IDS_SAVE_AGAIN 14
#define IDS_TEXTS_SAVED_BESIDE 15
#define IDS_FONTS_SAVED_BESIDE 16
#define IDS_YOURS_SAVED_IN 17
// The typefaces dialog's sample, under a face that lacks some Romanian letters.
#define IDS_FONT_LACKS_LETTERS 18
// The question asked of a user without settings, and its box's title.
#define IDS_SET_UP_TITLE 19
#define IDS_SET_UP_QUESTION 20
// A list's button while its file is still being read.
#define IDS_LIST_BEING_READ 21
// The entries of the configuration dialog's list of screens, in the order of the Screens values.
#define IDS_SCREENS_EVERY 22
#define IDS_SCREENS_ONE 23
#define IDS_SCREENS_MAIN 24
