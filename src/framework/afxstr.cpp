#include "afxstr.h"
#include "afxmodule.h"

#include <string.h>

namespace qv {

namespace {

// The one empty string all empty CStrings share; never freed, never counted.
struct EmptyString {
    LONG refs;
    int length;
    int capacity;
    char nul;
} g_empty = {-1, 0, 0, 0};

LPSTR EmptyChars() { return &g_empty.nul; }

// Largest text a string holds: its header, characters and NUL stay well
// inside what a 32-bit size can describe.
const int kMaxLength = 0x3FFFFFF0;

}  // namespace

CString::CString() : m_pchData(EmptyChars()) {}

CString::CString(const CString& other) : m_pchData(EmptyChars())
{
    *this = other;
}

CString::CString(LPCSTR text) : m_pchData(EmptyChars())
{
    if (text != NULL)
        AssignCopy(text, lstrlenA(text));
}

CString::CString(LPCSTR text, int length) : m_pchData(EmptyChars())
{
    if (text != NULL && length > 0)
        AssignCopy(text, length);
}

CString::~CString()
{
    Release();
}

BOOL CString::AllocBuffer(int capacity)
{
    // Header, characters and the terminating NUL in one block.
    if (capacity < 0 || capacity > kMaxLength - (int)sizeof(Header)) {
        AfxNoteAllocationFailure();
        return FALSE;
    }
    Header* header = static_cast<Header*>(AfxAllocMemory(sizeof(Header) + capacity + 1));
    if (header == NULL)
        return FALSE;
    header->refs = 1;
    header->length = 0;
    header->capacity = capacity;
    header->chars()[0] = '\0';
    m_pchData = header->chars();
    return TRUE;
}

void CString::Release()
{
    Header* header = Data();
    if (header->refs >= 0 && InterlockedDecrement(&header->refs) == 0)
        AfxFreeMemory(header);
    m_pchData = EmptyChars();
}

void CString::ReleaseBlock(LPSTR old)
{
    LPSTR mine = m_pchData;
    m_pchData = old;
    Release();
    m_pchData = mine;
}

void CString::Empty()
{
    Release();
}

BOOL CString::AssignCopy(LPCSTR text, int length)
{
    if (length == 0) {
        Release();
        return TRUE;
    }
    // Allocate first: on failure the string keeps its old text.
    LPSTR old = m_pchData;
    if (!AllocBuffer(length))
        return FALSE;
    memcpy(m_pchData, text, length);
    m_pchData[length] = '\0';
    Data()->length = length;
    ReleaseBlock(old);
    return TRUE;
}

CString& CString::operator=(const CString& other)
{
    if (m_pchData == other.m_pchData)
        return *this;
    Header* theirs = other.Data();
    if (theirs->refs < 0) {
        Release();
    } else {
        InterlockedIncrement(&theirs->refs);
        Release();
        m_pchData = other.m_pchData;
    }
    return *this;
}

CString& CString::operator=(LPCSTR text)
{
    if (text == NULL) {
        Release();
        return *this;
    }
    // The text may point into this string itself: AssignCopy copies it into
    // a new block before it lets the old one go.
    AssignCopy(text, lstrlenA(text));
    return *this;
}

BOOL CString::Reserve(int capacity)
{
    Header* header = Data();
    if (header->refs == 1 && header->capacity >= capacity)
        return TRUE;
    int length = header->length;
    // Grow by half again when the text outgrows its block, so that appending
    // character by character stays linear; a shared block is copied as needed.
    int size = capacity;
    if (capacity > header->capacity) {
        int grown = header->capacity + header->capacity / 2;
        if (grown > size)
            size = grown;
    }
    LPSTR old = m_pchData;
    if (!AllocBuffer(size))
        return FALSE;
    memcpy(m_pchData, old, length + 1);
    Data()->length = length;
    ReleaseBlock(old);
    return TRUE;
}

BOOL CString::Append(LPCSTR text, int length)
{
    if (text == NULL || length <= 0)
        return TRUE;
    int oldLength = GetLength();
    if (length > kMaxLength - oldLength) {
        AfxNoteAllocationFailure();
        return FALSE;
    }
    // Text that lies inside this string must stay alive across a reallocation.
    CString keep;
    if (text >= m_pchData && text <= m_pchData + oldLength)
        keep = *this;
    if (!Reserve(oldLength + length))
        return FALSE;
    memcpy(m_pchData + oldLength, text, length);
    m_pchData[oldLength + length] = '\0';
    Data()->length = oldLength + length;
    return TRUE;
}

CString& CString::operator+=(const CString& text)
{
    Append(text, text.GetLength());
    return *this;
}

CString& CString::operator+=(LPCSTR text)
{
    if (text != NULL)
        Append(text, lstrlenA(text));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Find(char ch) const
{
    return Find(ch, 0);
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    for (int i = start; i < GetLength(); i++) {
        if (m_pchData[i] == ch)
            return i;
    }
    return -1;
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return CString();
    return CString(m_pchData + first, GetLength() - first);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_pchData, count);
}

BOOL CString::LoadString(UINT id)
{
    // Most strings fit a small buffer on the stack. LoadStringA reports a cut
    // text by filling the buffer to its last character: a longer string is
    // read again into a buffer that grows until the whole string fits.
    HINSTANCE module = AfxGetResourceHandle();
    char small[256];
    int got = ::LoadStringA(module, id, small, sizeof small);
    if (got <= 0) {
        Empty();
        return FALSE;
    }
    if (got < (int)sizeof small - 1)
        return AssignCopy(small, got);

    CString whole;
    for (int size = 2 * (int)sizeof small;; size *= 2) {
        LPSTR buffer = whole.GetBuffer(size - 1);
        if (buffer == NULL)
            return FALSE;   // out of memory: this string is as it was
        got = ::LoadStringA(module, id, buffer, size);
        // String resources hold at most 65535 characters.
        if (got < size - 1 || size >= 0x10000) {
            whole.ReleaseBuffer(got);
            break;
        }
    }
    *this = whole;
    return TRUE;
}

LPSTR CString::GetBuffer(int minLength)
{
    if (minLength < GetLength())
        minLength = GetLength();
    if (!Reserve(minLength))
        return NULL;
    return m_pchData;
}

void CString::ReleaseBuffer(int newLength)
{
    if (Data()->refs < 0)
        return;   // nothing was ever reserved: still the shared empty string
    if (newLength < 0)
        newLength = lstrlenA(m_pchData);
    if (newLength > Data()->capacity)
        newLength = Data()->capacity;
    m_pchData[newLength] = '\0';
    Data()->length = newLength;
}

bool operator==(const CString& a, LPCSTR b)
{
    if (b == NULL)
        b = "";
    return a.GetLength() == lstrlenA(b) && memcmp((LPCSTR)a, b, a.GetLength()) == 0;
}

bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && memcmp((LPCSTR)a, (LPCSTR)b, a.GetLength()) == 0;
}

}  // namespace qv
