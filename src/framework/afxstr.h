// CString: the framework's reference-counted 8-bit string.
//
// Copies share one heap block until one of them is changed (copy on write).
// Nothing throws: an operation whose allocation fails leaves the string as it
// was. Those that can say so return FALSE (or NULL); the operators and
// constructors leave the failure on the running call's record, which the caller
// checks with a CMemoryCheck (afxmem.h) before it relies on the text.
#ifndef QV_FRAMEWORK_AFXSTR_H
#define QV_FRAMEWORK_AFXSTR_H

#include "afxmem.h"

namespace qv {

class CString {
public:
    CString();
    CString(const CString& other);
    CString(LPCSTR text);               // NULL counts as empty
    CString(LPCSTR text, int length);   // exactly length bytes, NULs included
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(LPCSTR text);
    CString& operator+=(const CString& text);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);
    // FALSE when out of memory; the string is then unchanged.
    BOOL Append(LPCSTR text, int length);

    int GetLength() const { return Data()->length; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();
    operator LPCSTR() const { return m_pchData; }
    char GetAt(int index) const { return m_pchData[index]; }

    int Find(char ch) const;                    // -1 when absent
    int Find(char ch, int start) const;
    CString Mid(int first) const;
    CString Left(int count) const;

    // Loads a string resource of any length from the module's resources.
    // FALSE when the string does not exist or is empty (the string is then
    // emptied) and when memory ran out (the string is then unchanged).
    BOOL LoadString(UINT id);

    // Direct access for APIs that write into a buffer: at least minLength
    // characters plus a NUL; ReleaseBuffer(-1) takes the length from the NUL.
    // NULL when out of memory.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    friend bool operator==(const CString& a, LPCSTR b);
    friend bool operator==(const CString& a, const CString& b);

private:
    struct Header {
        LONG refs;
        int length;
        int capacity;
        char* chars() { return reinterpret_cast<char*>(this + 1); }
    };
    Header* Data() const { return reinterpret_cast<Header*>(m_pchData) - 1; }
    // Each returns FALSE, with the string unchanged, when out of memory.
    BOOL AllocBuffer(int capacity);
    BOOL AssignCopy(LPCSTR text, int length);
    BOOL Reserve(int capacity);
    void Release();
    // Lets go of old, the block this string held before AllocBuffer gave it
    // the one it holds now.
    void ReleaseBlock(LPSTR old);

    LPSTR m_pchData;
};

}  // namespace qv

#endif
