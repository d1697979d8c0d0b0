// Message maps and command routing.
//
// A class that handles messages declares DECLARE_MESSAGE_MAP() and lists one
// entry per handler between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP. Lookup walks
// from the most derived map to the base maps, the first matching entry wins.
#ifndef QV_FRAMEWORK_AFXMSG_H
#define QV_FRAMEWORK_AFXMSG_H

#include "afxmem.h"

#include <stddef.h>

namespace qv {

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures; the dispatcher casts the stored pointer back by these.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,      // void Handler()
    AfxSig_hDWw,    // HBRUSH OnCtlColor(HDC, HWND control, UINT ctlColorType)
    AfxSig_lwl,     // LRESULT Handler(WPARAM, LPARAM)
    AfxSig_vw,      // void Handler(UINT id): one handler for a range of controls
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // window message; WM_COMMAND for commands and notifications
    UINT nCode;      // notification code (0 = command / CN_COMMAND)
    UINT nID;        // first control or command id
    UINT nLastID;    // last id of the range
    UINT nSig;       // an AfxSig
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define CN_COMMAND 0

// The framework's own WM_CTLCOLOR: the per-type colour messages of the
// platform are delivered to OnCtlColor with one of the CTLCOLOR_* codes.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

class CCmdTarget {
public:
    CCmdTarget() {}
    virtual ~CCmdTarget() {}

    // Framework objects live on the process heap. new gives NULL, without
    // running the constructor, when the heap is exhausted; it never throws.
    static void* operator new(size_t size) noexcept { return AfxAllocMemory(size); }
    static void operator delete(void* block) noexcept { AfxFreeMemory(block); }

    // Routes a command or control notification. With query set, only reports
    // whether a handler exists. TRUE when a handler was found.
    virtual BOOL OnCmdMsg(UINT id, int code, BOOL query);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT message,
                                                    UINT code, UINT id);

private:
    CCmdTarget(const CCmdTarget&);
    CCmdTarget& operator=(const CCmdTarget&);
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;           \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                             \
    {                                                                           \
        using ThisClass [[maybe_unused]] = theClass;                            \
        typedef baseClass TheBaseClass;                                         \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                       \
            {0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}                               \
        };                                                                      \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &map;                                                            \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_vv, \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL_RANGE(code, firstId, lastId, memberFxn) \
    {WM_COMMAND, (UINT)(code), (UINT)(firstId), (UINT)(lastId), AfxSig_vw, \
     reinterpret_cast<AFX_PMSG>(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},
#define ON_BN_CLICKED(id, memberFxn)   ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, 0, AfxSig_lwl, reinterpret_cast<AFX_PMSG>( \
     static_cast<LRESULT (CCmdTarget::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},
#define ON_WM_DESTROY() \
    {WM_DESTROY, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnDestroy)},
#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, reinterpret_cast<AFX_PMSG>( \
     static_cast<HBRUSH (CCmdTarget::*)(HDC, HWND, UINT)>(&ThisClass::OnCtlColor))},

}  // namespace qv

#endif
