#include "afxmsg.h"

namespace qv {

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
    static const AFX_MSGMAP map = {NULL, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* map, UINT message,
                                                     UINT code, UINT id)
{
    for (; map != NULL; map = map->pfnGetBaseMap != NULL ? map->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; entry++) {
            if (entry->nMessage == message && entry->nCode == code &&
                id >= entry->nID && id <= entry->nLastID)
                return entry;
        }
    }
    return NULL;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, BOOL query)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), WM_COMMAND, (UINT)code, id);
    if (entry == NULL)
        return FALSE;
    switch (entry->nSig) {
    case AfxSig_vv:
        if (!query)
            (this->*entry->pfn)();
        return TRUE;
    case AfxSig_vw: {
        typedef void (CCmdTarget::*Pfn)(UINT);
        if (!query)
            (this->*reinterpret_cast<Pfn>(entry->pfn))(id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace qv
