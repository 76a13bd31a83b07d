/* Resource ids shared by the self-check program's resource scripts and its C code. */
#ifndef VOKRA_SELFCHECK_IDS_H
#define VOKRA_SELFCHECK_IDS_H

#define IDI_APP 1
#define IDM_MAIN 100
#define IDD_OPTIONS 200
#define IDD_PLAIN 201

/* Menu commands. */
#define IDM_FILE_NEW 1001
#define IDM_FILE_OPEN 1002
#define IDM_FILE_SAVE 1003
#define IDM_FILE_SAVE_AS 1004
#define IDM_FILE_EXIT 1005
#define IDM_EDIT_UNDO 1101
#define IDM_EDIT_CUT 1102
#define IDM_EDIT_COPY 1103
#define IDM_EDIT_PASTE 1104
#define IDM_VIEW_TOOLBAR 1201
#define IDM_VIEW_STATUS_BAR 1202
#define IDM_VIEW_ZOOM_IN 1211
#define IDM_VIEW_ZOOM_OUT 1212
#define IDM_HELP_ABOUT 1301

/* Controls of the options dialog; the plain dialog reuses IDC_NAME_EDIT. */
#define IDC_APP_ICON 2001
#define IDC_NAME_LABEL 2002
#define IDC_NAME_EDIT 2003
#define IDC_FOLDER_EDIT 2004
#define IDC_FORMAT_COMBO 2005
#define IDC_BROWSE 2006
#define IDC_READ_ONLY 2007

/* String table: ids 96..111 fill one block of sixteen, so a wrong length in one entry shifts all
   that follow it; 112..118 sit in the next block with a hole at 114. */
#define IDS_LENGTH_1 96
#define IDS_LENGTH_31 97
#define IDS_LENGTH_32 98
#define IDS_LENGTH_33 99
#define IDS_LENGTH_60 100
#define IDS_LENGTH_126 101
#define IDS_LENGTH_127 102
#define IDS_LENGTH_300 103
#define IDS_CREATE_FILE 104
#define IDS_REPLACE_FILE 105
#define IDS_CANNOT_OPEN 106
#define IDS_FILES_COPIED 107
#define IDS_ERROR_CODE 108
#define IDS_PERCENT_DONE 109
#define IDS_SETTINGS_KEY 110
#define IDS_READY 111
#define IDS_EDITOR_FILE 112
#define IDS_README_FILE 113
#define IDS_HOLE 114
#define IDS_DIALOG_FONT 115
#define IDS_TEXT_FONT 116
#define IDS_SAVE_CHANGES 117
#define IDS_UNTITLED 118
#define IDS_FIRST IDS_LENGTH_1
#define IDS_LAST IDS_UNTITLED

#endif
