// CError: composes a message from string-table entries and shows it in a
// message box.
//
// A message is named by an index counted from messageBase, its two arguments
// by indexes counted from argumentBase. "%1" and "%2" in the message take the
// arguments; '%' before another digit or a capital letter shows as '?'.
#ifndef QV_UTIL_ERROR_H
#define QV_UTIL_ERROR_H

#include "../framework/afxmem.h"
#include "../framework/afxstr.h"

namespace qv {

class CError {
public:
    CError(int messageBase, int argumentBase);
    virtual ~CError() {}

    void SetBases(int messageBase, int argumentBase);

    // Shows message messageIndex with the argument strings argument1Index and
    // argument2Index (-1: none). prefix and suffix (or NULL) are joined to the
    // message without separator. MB_TASKMODAL and MB_SETFOREGROUND are always
    // added to style. With a caption the box has no owner window; without one
    // it is the application's own message box.
    // Returns the id of the button that closed the box, or IDCANCEL (2) when
    // nothing was shown (a negative message index, or memory that ran out
    // while the text was composed: the failure is then on the call's record).
    int Show(int messageIndex, int argument1Index, int argument2Index, LPCSTR prefix,
             LPCSTR suffix, LPCSTR caption, UINT style);

    // As Show, with the arguments given as texts (NULL: empty). A value below
    // 65536 in place of a text pointer names a string resource instead.
    int ShowWithTexts(int messageIndex, LPCSTR argument1, LPCSTR argument2, LPCSTR prefix,
                      LPCSTR suffix, LPCSTR caption, UINT style);

    int messageBase;
    int argumentBase;

    // Replaces the placeholders in the first length bytes of format. Reads no
    // byte beyond them, also when the last one is a lead byte of the ANSI code
    // page. The result grows as needed.
    static CString Expand(LPCSTR format, int length, const CString& argument1,
                          const CString& argument2);

private:
    // memory was taken before the arguments were loaded.
    int Compose(const CMemoryCheck& memory, int messageIndex, const CString& argument1,
                const CString& argument2, LPCSTR prefix, LPCSTR suffix, LPCSTR caption,
                UINT style);
    CString LoadArgument(int index) const;
};

// Shown in place of a message whose string is missing or empty: 57 bytes of
// code page 932, passed to the message box as they are on any system.
extern const char kMissingMessageText[];

}  // namespace qv

#endif
