#include "model_table.h"
#include "app.h"
#include "../dialog/resource.h"
#include "../util/error.h"
#include "../runtime/platform.h"
#include "../util/trace.h"

#include <string.h>

namespace qv {

const ModelRow ModelTable[2] = {
    {"KV-3100D"},
    {"Marlow Wide 900"},
};

namespace {

const char kModelKey[] = "MDL:";
const int kModelKeyLength = 4;

// Whether the ANSI code page has double-byte characters. It is fixed for
// the life of the process, so it is asked once.
bool DoubleByteCodePage()
{
    static const LONG doubleByte = [] {
        CPINFO info;
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? 1L : 0L;
    }();
    return doubleByte != 0;
}

// The next character of the ANSI code page: one byte, or two for a
// double-byte one. Plain pointer arithmetic where the code page has only
// single-byte characters, so that the common case costs no call per byte.
LPCSTR NextChar(LPCSTR p)
{
    return DoubleByteCodePage() ? CharNextA(p) : p + 1;
}

// First occurrence of key in text, trying only positions that start a
// character of the ANSI code page (never the second byte of a double-byte one).
LPCSTR FindKey(LPCSTR text, LPCSTR key, int keyLength)
{
    for (LPCSTR p = text; *p != '\0'; p = NextChar(p)) {
        if (strncmp(p, key, keyLength) == 0)
            return p;
    }
    return NULL;
}

// lstrcmpiA's answer, without asking it where the answer is known: a text
// always compares equal to the same bytes. (lstrcmpiA compares by the user's
// locale and costs as much as the rest of a call's work.)
bool SameName(LPCSTR a, LPCSTR b)
{
    return strcmp(a, b) == 0 || lstrcmpiA(a, b) == 0;
}

LPCSTR FindChar(LPCSTR text, char ch)
{
    for (LPCSTR p = text; *p != '\0'; p = NextChar(p)) {
        if (*p == ch)
            return p;
    }
    return NULL;
}

}  // namespace

int LookUpModel(LPCSTR modelName)
{
    if (modelName != NULL) {
        // A name given exactly as a row has it is that row: the rows differ
        // from each other in their first letter, so no other row compares
        // equal to it in any locale. Any other name is compared row by row.
        for (int row = 0; row < 2; row++) {
            if (strcmp(ModelTable[row].name, modelName) == 0) {
                theApp.modelIndex = row;
                return 1;
            }
        }
        for (int row = 0; row < 2; row++) {
            if (lstrcmpiA(ModelTable[row].name, modelName) == 0) {
                theApp.modelIndex = row;
                return 1;
            }
        }
    }
    theApp.modelIndex = -1;
    return 0;
}

int ExtractModelName(LPCSTR deviceId, CString& model)
{
    model.Empty();
    if (deviceId == NULL || lstrlenA(deviceId) < kModelKeyLength)
        return 0;
    LPCSTR key = FindKey(deviceId, kModelKey, kModelKeyLength);
    if (key == NULL)
        return 0;
    LPCSTR value = key + kModelKeyLength;
    // A value that runs to the end without its closing ';' is not accepted.
    LPCSTR end = FindChar(value, ';');
    if (end == NULL)
        return 0;
    const int length = (int)(end - value);
    CString copy(value, length);
    if (copy.GetLength() != length)
        return 0;   // out of memory: no model value to compare
    model = copy;
    return 1;
}

int CheckPrinterModel(LPCSTR expected, LPCSTR reported)
{
    if (SameName(expected != NULL ? expected : "", reported != NULL ? reported : ""))
        return 1;
    if (!InteractiveWindowStation()) {
        Trace("incompatible printer not shown: the window station is not interactive");
        return 0;
    }
    // The box is shown whole or not at all, as CError does with its text: a
    // caption that could not be loaded for want of memory shows no box (the
    // names differ all the same), and the failure stays on the call's
    // record, so that the call ends with 0 as for any want of memory.
    CMemoryCheck memory;
    CString caption;
    caption.LoadString(IDS_ERROR_CAPTION);
    if (memory.Failed())
        return 0;
    CError error(IDS_MESSAGE_BASE, IDS_ARGUMENT_BASE);
    error.Show(IDS_MSG_INCOMPATIBLE - IDS_MESSAGE_BASE, -1, -1, NULL, NULL, caption,
               MB_ICONHAND | MB_SETFOREGROUND);
    return 0;
}

}  // namespace qv
