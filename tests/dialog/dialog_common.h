// Shared by the dialog tests: the dialog's caption, its controls, the
// expected texts, and the enabled sets of its three forms.
#ifndef QV_TESTS_DIALOG_COMMON_H
#define QV_TESTS_DIALOG_COMMON_H

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "dialog/resource.h"
#include "framework/afxres.h"
#include "dialog_texts.h"
#include "module_under_test.h"
#include "ui_driver.h"

enum DialogForm { kAnswered, kAwaitingSheet, kSheetPrinted };

// Every control with an id of its own.
inline std::vector<int> AllControlIds()
{
    std::vector<int> ids;
    for (int id = 1000; id <= 1020; id++)
        ids.push_back(id);
    ids.push_back(IDOK);
    ids.push_back(IDCANCEL);
    ids.push_back(ID_HELP);
    return ids;
}

// The controls enabled in a form; all others are disabled. The guidance
// text (IDC_GUIDANCE) and its frame are never switched.
inline std::set<int> EnabledIn(DialogForm form)
{
    std::set<int> enabled = {IDOK, ID_HELP, IDC_GUIDANCE};
    if (form == kAnswered)
        return enabled;
    enabled.insert({IDC_PAPER_GROUP, IDC_PAPER_LIST, IDC_SETTINGS_SHEET, IDCANCEL});
    if (form == kAwaitingSheet)
        return enabled;
    for (int id = 1000; id <= 1020; id++)
        enabled.insert(id);
    return enabled;
}

inline void ExpectForm(HWND dialog, DialogForm form)
{
    std::set<int> enabled = EnabledIn(form);
    for (int id : AllControlIds()) {
        bool expected = enabled.count(id) != 0;
        EXPECT_EQ(expected, UiDriver::IsEnabled(dialog, id))
            << "control " << id << ": expected " << (expected ? "enabled" : "disabled");
    }
    EXPECT_EQ(form == kAnswered ? kGuideSaved : kGuideEnter,
              UiDriver::ItemText(dialog, IDC_GUIDANCE));
    EXPECT_TRUE(UiDriver::IsVisible(dialog, ID_HELP)) << "the help button is shown";
}

// Six valid printer-ID elements.
inline OptionInfo ValidRecord()
{
    return MakeInfo(1, 6, {30, 32, 34, 36, 38, 40}, 1, 32, 1, 0);
}

#endif
