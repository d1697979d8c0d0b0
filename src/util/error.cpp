#include "error.h"
#include "../framework/afxapp.h"

namespace qv {

namespace {

// Message strings are read into a buffer of this size; longer ones are cut.
const int kMessageBufferSize = 256;

CString TextArgument(LPCSTR text)
{
    CString result;
    if (text != NULL && IS_INTRESOURCE(text))
        result.LoadString(LOWORD((ULONG_PTR)text));
    else
        result = text;
    return result;
}

}  // namespace

// "Undefined error! The resources hold no error string with the given ID."
const char kMissingMessageText[] =
    "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b!"
    "\x83\x8a\x83\x5c\x81\x5b\x83\x58\x82\xc9\x8e\x77\x92\xe8" "ID"
    "\x82\xcc\x83\x47\x83\x89\x81\x5b\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";

static_assert(sizeof kMissingMessageText == 57 + 1, "the fallback text is 57 bytes");

CError::CError(int messageBase_, int argumentBase_)
    : messageBase(messageBase_), argumentBase(argumentBase_)
{
}

void CError::SetBases(int messageBase_, int argumentBase_)
{
    messageBase = messageBase_;
    argumentBase = argumentBase_;
}

CString CError::LoadArgument(int index) const
{
    CString text;
    if (index >= 0)
        text.LoadString((UINT)(argumentBase + index));
    return text;
}

int CError::Show(int messageIndex, int argument1Index, int argument2Index, LPCSTR prefix,
                 LPCSTR suffix, LPCSTR caption, UINT style)
{
    if (messageIndex < 0)
        return IDCANCEL;
    CMemoryCheck memory;
    return Compose(memory, messageIndex, LoadArgument(argument1Index),
                   LoadArgument(argument2Index), prefix, suffix, caption, style);
}

int CError::ShowWithTexts(int messageIndex, LPCSTR argument1, LPCSTR argument2, LPCSTR prefix,
                          LPCSTR suffix, LPCSTR caption, UINT style)
{
    if (messageIndex < 0)
        return IDCANCEL;
    CMemoryCheck memory;
    return Compose(memory, messageIndex, TextArgument(argument1), TextArgument(argument2), prefix,
                   suffix, caption, style);
}

CString CError::Expand(LPCSTR format, int length, const CString& argument1,
                      const CString& argument2)
{
    CString message;
    for (int i = 0; i < length;) {
        BYTE ch = (BYTE)format[i];
        if (IsDBCSLeadByte(ch)) {
            // A double-byte character is copied whole and never read as '%'.
            // A lead byte cut off at the end of the text is copied alone.
            int width = i + 1 < length ? 2 : 1;
            message.Append(format + i, width);
            i += width;
        } else if (ch == '%' && i + 1 < length) {
            char next = format[i + 1];
            if (next == '1')
                message += argument1;
            else if (next == '2')
                message += argument2;
            else if ((next >= '0' && next <= '9') || (next >= 'A' && next <= 'Z'))
                message += '?';
            else {
                message += '%';   // any other '%' stands as it is
                i += 1;
                continue;
            }
            i += 2;
        } else {
            message += (char)ch;
            i += 1;
        }
    }
    return message;
}

int CError::Compose(const CMemoryCheck& memory, int messageIndex, const CString& argument1,
                    const CString& argument2, LPCSTR prefix, LPCSTR suffix, LPCSTR caption,
                    UINT style)
{
    char format[kMessageBufferSize];
    int length = ::LoadStringA(AfxGetResourceHandle(), (UINT)(messageBase + messageIndex), format,
                               kMessageBufferSize);

    // A message that memory ran out for (its arguments included, which the
    // caller loaded since memory was taken) would show cut short: nothing is
    // shown, as for no message at all, and the failure stays on the module's
    // record of the running call (AFX_MODULE_STATE) for the caller.
    CString message = Expand(format, length, argument1, argument2);
    if (message.IsEmpty())
        message = kMissingMessageText;

    CString text(prefix);
    text += message;
    text += suffix;
    if (memory.Failed())
        return IDCANCEL;

    style |= MB_TASKMODAL | MB_SETFOREGROUND;
    if (caption != NULL)
        return AfxPlatformMessageBox(NULL, text, caption, style);
    CWinApp* app = AfxGetApp();
    if (app != NULL)
        return app->DoMessageBox(text, style, 0);
    return AfxPlatformMessageBox(NULL, text, NULL, style);
}

}  // namespace qv
