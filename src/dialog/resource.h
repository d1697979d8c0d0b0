// Resource identifiers of the module, kept by hand; each number used once.
// The framework's own identifiers (0xE000 and up) live in framework/afxres.h.
#ifndef QV_DIALOG_RESOURCE_H
#define QV_DIALOG_RESOURCE_H

// Dialog templates
#define IDD_OPTION_INFO          103

// Controls of the option information dialog (1 and 2 are IDOK and IDCANCEL)
#define IDC_MEMORY_COMBO         1000
#define IDC_ID1                  1001
#define IDC_ID2                  1002
#define IDC_ID3                  1003
#define IDC_ID4                  1004
#define IDC_ID5                  1005
#define IDC_ID6                  1006
#define IDC_PAPER_LIST           1007
#define IDC_SETTINGS_SHEET       1008
#define IDC_GUIDANCE             1009
#define IDC_PAPER_GROUP          1010
#define IDC_MEMORY_GROUP         1011
#define IDC_MEMORY_LABEL         1012
#define IDC_MEMORY_UNIT          1013
#define IDC_ID_GROUP             1014
#define IDC_ID_LABEL             1015
#define IDC_ID_SEP1              1016
#define IDC_ID_SEP2              1017
#define IDC_ID_SEP3              1018
#define IDC_ID_SEP4              1019
#define IDC_ID_SEP5              1020

// Strings: captions and guidance texts
#define IDS_ERROR_CAPTION        100
#define IDS_GUIDE_ENTER          101
#define IDS_GUIDE_SAVED          102

// Strings: memory combo items (0, 32, 64, 96 MB)
#define IDS_MEMORY_0             200
#define IDS_MEMORY_32            201
#define IDS_MEMORY_64            202
#define IDS_MEMORY_96            203

// Strings: paper-source list items, caption TAB value
#define IDS_PAPER_NONE           300
#define IDS_PAPER_LOWER          301

// Strings: messages, counted from the message base
#define IDS_MESSAGE_BASE         50000
#define IDS_MSG_INCOMPATIBLE     50000
#define IDS_MSG_ID_RANGE         50100

// Strings: message arguments, counted from the argument base
#define IDS_ARGUMENT_BASE        51000
#define IDS_ARG_ID_MIN           51000
#define IDS_ARG_ID_MAX           51001

#endif
