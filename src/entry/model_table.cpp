#include "model_table.h"
#include "app.h"
#include "../dialog/resource.h"
#include "../util/error.h"

#include <string.h>

namespace qv {

const LPCSTR ModelTable[kModelRowCount] = {"KV-3100D", "Marlow Wide 900"};

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

// The first of count names that equals name as lstrcmpiA compares them (by
// the user's locale, without regard to case), or -1. lstrcmpiA is not asked
// where the answer is known: a text always compares equal to the same bytes,
// and the names of a list here differ from each other in their first letter,
// so that a name given byte for byte as one of them equals no other in any
// locale. Every name is first compared byte for byte, so that the common
// call, which names a model exactly, asks lstrcmpiA nothing.
int FindName(LPCSTR name, const LPCSTR* names, int count)
{
    for (int i = 0; i < count; i++) {
        if (strcmp(names[i], name) == 0)
            return i;
    }
    for (int i = 0; i < count; i++) {
        if (lstrcmpiA(names[i], name) == 0)
            return i;
    }
    return -1;
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
    theApp.modelIndex = modelName != NULL ? FindName(modelName, ModelTable, kModelRowCount) : -1;
    return theApp.modelIndex >= 0 ? 1 : 0;
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

int CheckPrinterModel(LPCSTR expected, LPCSTR reported, CWaitCursor* wait)
{
    const LPCSTR expectedName = expected != NULL ? expected : "";
    if (FindName(reported != NULL ? reported : "", &expectedName, 1) == 0)
        return 1;
    if (!WindowCanBeAnswered("incompatible printer"))
        return 0;
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
    if (wait != NULL)
        wait->End();
    error.Show(IDS_MSG_INCOMPATIBLE - IDS_MESSAGE_BASE, -1, -1, NULL, NULL, caption,
               MB_ICONHAND | MB_SETFOREGROUND);
    return 0;
}

}  // namespace qv
