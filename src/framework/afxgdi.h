// Owners of GDI objects.
#ifndef QV_FRAMEWORK_AFXGDI_H
#define QV_FRAMEWORK_AFXGDI_H

#include <windows.h>

namespace qv {

// A brush the owner deletes: explicitly with DeleteObject where the moment
// matters (a window's brush when the window goes), else when the owner goes.
class CBrush {
public:
    CBrush() : m_hObject(NULL) {}
    ~CBrush() { DeleteObject(); }

    // Replaces the brush by a solid one; FALSE when GDI refused.
    BOOL CreateSolidBrush(COLORREF color)
    {
        DeleteObject();
        m_hObject = ::CreateSolidBrush(color);
        return m_hObject != NULL;
    }
    BOOL DeleteObject()
    {
        if (m_hObject == NULL)
            return FALSE;
        BOOL deleted = ::DeleteObject(m_hObject);
        m_hObject = NULL;
        return deleted;
    }
    operator HBRUSH() const { return m_hObject; }

    HBRUSH m_hObject;

private:
    CBrush(const CBrush&);
    CBrush& operator=(const CBrush&);
};

}  // namespace qv

#endif
