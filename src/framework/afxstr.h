// CString: the framework's reference-counted 8-bit string.
//
// Copies share one heap block until one of them is changed (copy on write).
// Allocation failures throw CMemoryException*, as the rest of the framework.
#ifndef QV_FRAMEWORK_AFXSTR_H
#define QV_FRAMEWORK_AFXSTR_H

#include <windows.h>

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
    void Append(LPCSTR text, int length);

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
    // FALSE (and the string emptied) when the string does not exist or is empty.
    BOOL LoadString(UINT id);

    // Direct access for APIs that write into a buffer: at least minLength
    // characters plus a NUL; ReleaseBuffer(-1) takes the length from the NUL.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    // Tests make the n-th next string allocation fail (0: the next one);
    // -1 restores normal allocation.
    static void FailAllocationAfter(int allocations);

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
    void AllocBuffer(int capacity);
    void Release();
    void AssignCopy(LPCSTR text, int length);
    void CopyBeforeWrite();
    void Reserve(int capacity);

    LPSTR m_pchData;
};

#endif
