// The framework's exceptions. As in the framework they stand in for, they are
// thrown and caught by pointer and disposed of with Delete():
//
//     try { ... } catch (CException* e) { e->ReportError(); e->Delete(); }
#ifndef QV_FRAMEWORK_AFXEXCEPT_H
#define QV_FRAMEWORK_AFXEXCEPT_H

#include <windows.h>

class CException {
public:
    virtual ~CException() {}

    // Fills text with the exception's own message; FALSE when it has none.
    virtual BOOL GetErrorMessage(LPSTR text, UINT maxLength) const;

    // Shows the exception's own message, or string fallbackId when it has none,
    // in the application's message box. Returns the box's result.
    int ReportError(UINT type = MB_OK, UINT fallbackId = 0) const;

    // Frees a heap-allocated exception; a static one (out of memory) stays.
    void Delete();

protected:
    explicit CException(BOOL autoDelete) : m_bAutoDelete(autoDelete) {}

private:
    BOOL m_bAutoDelete;
};

// Thrown when memory runs out. One static instance: reporting the failure must
// not need more memory.
class CMemoryException : public CException {
public:
    CMemoryException() : CException(FALSE) {}
};

// Aborts an operation whose failure has already been reported to the user
// (a data-exchange validation, for instance).
class CUserException : public CException {
public:
    CUserException() : CException(TRUE) {}
};

// Thrown when an operation cannot be carried out at all (a data exchange with
// a control the dialog does not have, for instance).
class CNotSupportedException : public CException {
public:
    CNotSupportedException() : CException(TRUE) {}
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();

#endif
