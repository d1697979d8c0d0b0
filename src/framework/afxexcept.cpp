#include "afxexcept.h"
#include "afxapp.h"
#include "afxstr.h"

#include <new>

BOOL CException::GetErrorMessage(LPSTR text, UINT maxLength) const
{
    if (text != NULL && maxLength > 0)
        text[0] = '\0';
    return FALSE;
}

int CException::ReportError(UINT type, UINT fallbackId) const
{
    char own[256];
    if (GetErrorMessage(own, sizeof own))
        return AfxMessageBox(own, type);
    if (fallbackId != 0)
        return AfxMessageBox(fallbackId, type);
    return 0;
}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

void AfxThrowMemoryException()
{
    static CMemoryException s_outOfMemory;
    throw &s_outOfMemory;
}

void AfxThrowUserException()
{
    CUserException* e = new (std::nothrow) CUserException;
    if (e == NULL)
        AfxThrowMemoryException();
    throw e;
}

void AfxThrowNotSupportedException()
{
    CNotSupportedException* e = new (std::nothrow) CNotSupportedException;
    if (e == NULL)
        AfxThrowMemoryException();
    throw e;
}
