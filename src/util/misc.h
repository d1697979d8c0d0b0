// CMisc: stateless helpers for hexadecimal text, tab-separated list items,
// byte-sequence search and the classification of the running Windows version.
// Declare one as a local around a use. Every operation returns 1 for success
// and 0 for failure. Its out-parameter is left as it was on failure, with
// one exception: GetListItemField, when only the field is missing, leaves
// the item's whole text in it.
#ifndef QV_UTIL_MISC_H
#define QV_UTIL_MISC_H

#include <windows.h>

namespace qv {

class CString;
class CWnd;
class CListBox;

// The running Windows version, classified from GetVersionExA. The numbers
// are the kinds' traditional values.
enum PlatformKind {
    // What GetPlatformKind leaves in a caller's variable when the version has
    // no kind (Windows family below 4.0, unknown platform ids). Callers start
    // from it so that such versions take their "no kind" branch.
    kPlatformKindNone = -1,
    kPlatformWin32s = 0,
    kPlatformWin9x = 1,          // Windows 95/98/Me (4.x)
    kPlatformWin9xLater = 2,     // Windows family 5.0 and later
    kPlatformOldNt = 3,          // NT before 3.5, and NT 3.x other than 3.5 and 3.51
    kPlatformNt35 = 4,
    kPlatformNt351 = 5,
    kPlatformNt4 = 6,            // NT 4.0 and later
};

class CMisc {
public:
    CMisc() {}
    virtual ~CMisc() {}

    // Up to 8 hexadecimal digits (0-9, A-F, a-f; nothing else) to a 32-bit value.
    int HexStringToLong(LPCSTR text, LONG* value);
    // The first two characters as a hexadecimal byte; a non-digit counts 0
    // and a single digit stands unshifted. Fails when neither is a digit.
    int HexPairToByte(LPCSTR text, BYTE* value);
    // Two lower-case hexadecimal digits of the low byte.
    int ByteToHexString(DWORD value, CString& text);

    // Replaces text by its tab-separated field number field (0 = first).
    int ExtractTabField(CString& text, int field);

    // Field number field of the text of list item index. The list box is given
    // as a window handle, a window object or a list-box object. When only the
    // field is missing, text holds the item's whole text.
    int GetListItemField(HWND listBox, int index, int field, CString& text);
    int GetListItemField(CWnd* listBox, int index, int field, CString& text);
    int GetListItemField(CListBox* listBox, int index, int field, CString& text);

    // Finds tag in data, both of given lengths, byte for byte; NULs are
    // ordinary bytes. Start positions run up to dataLength - tagLength - 1: a
    // tag whose last byte is the data's last byte is not found.
    int FindTag(const BYTE* data, DWORD dataLength, const BYTE* tag, DWORD tagLength,
                const BYTE** found);

    // Asks GetVersionExA afresh. Fails only when that call fails; succeeds
    // without writing kind for versions that have none.
    int GetPlatformKind(PlatformKind* kind);
};

}  // namespace qv

#endif
