// Identifiers of the framework: its command ids, its string resources and its
// private messages, in ranges of their own (0xE000 and up for commands,
// 0xF000 and up for strings) so that they never meet the module's own ids.
#ifndef QV_FRAMEWORK_AFXRES_H
#define QV_FRAMEWORK_AFXRES_H

#define ID_HELP                  0xE146   // 57670: the help command and its button

#define AFX_IDP_INTERNAL_FAILURE 0xF108   // 61704
#define AFX_IDP_PARSE_INT_RANGE  0xF112   // 61714
#define AFX_IDP_PARSE_UINT       0xF117   // 61719

#define HID_BASE_RESOURCE        0x00020000UL   // help contexts of dialogs: base + template id

#ifndef RC_INVOKED
#define WM_COMMANDHELP           0x0365   // asks a window for its help context
#endif

#endif
