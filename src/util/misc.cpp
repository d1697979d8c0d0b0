#include "misc.h"
#include "../framework/afxmem.h"
#include "../framework/afxstr.h"
#include "../framework/afxwnd.h"

namespace qv {

namespace {

// Value of a hexadecimal digit, or -1.
int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

}  // namespace

int CMisc::HexStringToLong(LPCSTR text, LONG* value)
{
    int length = lstrlenA(text);
    if (length == 0 || length > 8)
        return 0;
    DWORD result = 0;
    for (int i = 0; i < length; i++) {
        int digit = HexDigit(text[i]);
        if (digit < 0)
            return 0;
        result = result * 16 + (DWORD)digit;
    }
    *value = (LONG)result;
    return 1;
}

int CMisc::HexPairToByte(LPCSTR text, BYTE* value)
{
    if (text == NULL || text[0] == '\0')
        return 0;
    int high = HexDigit(text[0]);
    int low = HexDigit(text[1]);   // text[1] is the NUL of a one-character text
    if (high < 0 && low < 0)
        return 0;
    if (high >= 0 && low >= 0)
        *value = (BYTE)(high * 16 + low);
    else
        *value = (BYTE)(high >= 0 ? high : low);
    return 1;
}

int CMisc::ByteToHexString(DWORD value, CString& text)
{
    char digits[16];
    if (wsprintfA(digits, "%02lx", value & 0xFF) < 2)
        return 0;
    CString hex(digits, 2);
    if (hex.IsEmpty())
        return 0;   // out of memory: text is as it was
    text = hex;
    return 1;
}

int CMisc::ExtractTabField(CString& text, int field)
{
    if (text.IsEmpty())
        return 0;
    // Worked on a copy: text changes only when the field was found whole.
    CMemoryCheck memory;
    CString rest(text);
    for (int i = 0; i < field; i++) {
        int tab = rest.Find('\t');
        if (tab < 0)
            return 0;
        rest = rest.Mid(tab + 1);
    }
    int tab = rest.Find('\t');
    CString result = tab < 0 ? rest : rest.Left(tab);
    if (memory.Failed())
        return 0;
    text = result;   // shares result's block: nothing to allocate
    return 1;
}

int CMisc::GetListItemField(HWND listBox, int index, int field, CString& text)
{
    int count = (int)SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count)
        return 0;
    int length = (int)SendMessageA(listBox, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return 0;
    LPSTR buffer = static_cast<LPSTR>(AfxAllocMemory(length + 1, TRUE));
    if (buffer == NULL)
        return 0;
    int got = (int)SendMessageA(listBox, LB_GETTEXT, index, (LPARAM)buffer);
    CMemoryCheck memory;
    CString whole(buffer, got == LB_ERR ? 0 : got);
    AfxFreeMemory(buffer);
    if (memory.Failed())
        return 0;
    text = whole;
    return ExtractTabField(text, field);
}

int CMisc::GetListItemField(CWnd* listBox, int index, int field, CString& text)
{
    return GetListItemField(listBox->m_hWnd, index, field, text);
}

int CMisc::GetListItemField(CListBox* listBox, int index, int field, CString& text)
{
    if (index < 0 || index >= listBox->GetCount())
        return 0;
    if (listBox->GetTextLen(index) == LB_ERR)
        return 0;
    if (listBox->GetText(index, text) == LB_ERR)
        return 0;   // no memory for the text: text is as it was
    return ExtractTabField(text, field);
}

int CMisc::FindTag(const BYTE* data, DWORD dataLength, const BYTE* tag, DWORD tagLength,
                   const BYTE** found)
{
    if (tagLength >= dataLength)
        return 0;
    for (DWORD p = 0; p < dataLength - tagLength; p++) {
        DWORD i = 0;
        while (i < tagLength && data[p + i] == tag[i])
            i++;
        if (i == tagLength) {
            *found = data + p;
            return 1;
        }
    }
    return 0;
}

int CMisc::GetPlatformKind(PlatformKind* kind)
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return 0;

    const DWORD major = info.dwMajorVersion;
    const DWORD minor = info.dwMinorVersion;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        *kind = kPlatformWin32s;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major == 4)
            *kind = kPlatformWin9x;
        else if (major >= 5)
            *kind = kPlatformWin9xLater;
        break;   // below 4: no kind
    case VER_PLATFORM_WIN32_NT:
        if (major <= 2)
            *kind = kPlatformOldNt;
        else if (major == 3)
            *kind = minor == 5 ? kPlatformNt35 : minor == 51 ? kPlatformNt351 : kPlatformOldNt;
        else
            *kind = kPlatformNt4;
        break;
    default:
        break;   // unknown platform: no kind
    }
    return 1;
}

}  // namespace qv
