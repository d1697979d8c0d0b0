// QVOpenPrinterInf: the module's one export. It asks the printer, shows the
// option dialog, or both, as the caller's two switches say, and hands the
// option information back in the caller's record. Defined against the
// public header that callers compile with.
#include "qvoptinf.h"

#include <stddef.h>
#include <string.h>

#include <type_traits>

#include "app.h"
#include "model_table.h"
#include "../bidi/bidi_link.h"
#include "../bidi/library_path.h"
#include "../bidi/option_query.h"
#include "../dialog/option_dialog.h"
#include "../framework/afxwait.h"
#include "../optioninfo/option_info.h"
#include "../util/trace.h"

namespace qv {

// The caller's record (::OptionInfo, the public header's) and the module's
// are the same twelve fields of the same types at the same offsets, so that
// a record crosses between them as its bytes.
static_assert(sizeof(::OptionInfo) == sizeof(OptionInfo), "OptionInfo: the records' sizes differ");
#define QV_SAME_FIELD(field)                                                            \
    static_assert(offsetof(::OptionInfo, field) == offsetof(OptionInfo, field) &&     \
                      std::is_same<decltype(::OptionInfo::field),                     \
                                   decltype(OptionInfo::field)>::value,               \
                  "OptionInfo: the records differ in the field " #field)
QV_SAME_FIELD(idValid);
QV_SAME_FIELD(idCount);
QV_SAME_FIELD(id);
QV_SAME_FIELD(memoryValid);
QV_SAME_FIELD(memorySizeMB);
QV_SAME_FIELD(paperSourceValid);
QV_SAME_FIELD(paperSourceCount);
#undef QV_SAME_FIELD

namespace {

// What asking the printer came to.
enum PrinterOutcome {
    kNotAsked,          // the caller did not ask, or XKAPI.DLL cannot be found
    kAnswered,          // the record holds the printer's values
    kNotAnswered,       // no device ID, no model value, or no option information
    kOtherModel,        // a printer of another model; the user has been told
    kModelNotInTable,   // the model the caller named is not one the module serves
    kOutOfMemory,       // nothing can be said about the library or the printer
};

// How the dialog ended.
enum DialogOutcome {
    kConfirmed,           // OK: the record holds what the dialog stored
    kCancelled,
    kEndedOtherwise,      // another modal result: nothing to hand back
    kCouldNotRun,         // no template, no window, no memory at its start, or
                          // a window station that nobody sees
    kNoMemoryForDialog,   // the dialog could not even be set up
};

// Request flags written into the record before the printer is asked, by
// model row: the ID-only row asks for the printer ID, the dialog row for
// everything.
void SetRequest(OptionInfo& info, int modelIndex)
{
    info.idValid = 1;
    info.idCount = kIdFieldCount;
    info.memoryValid = modelIndex == kModelRowWithDialog ? 1 : 0;
    info.paperSourceValid = modelIndex == kModelRowWithDialog ? 1 : 0;
}

// Looks for the library and, when the caller asked and the library is there,
// asks the printer: its device ID, its model, and then the option
// information the model's row calls for, into info. The request flags stay
// set in info when the printer does not answer. The library is released
// before this returns. Memory that runs out anywhere gives kOutOfMemory, so
// that a text that could not be built never steers the call: a model value
// that could not be copied must not look like a printer of another model.
// While the printer is asked the wait cursor shows; the cursor it replaced
// is back before the incompatible-printer message and when this returns.
PrinterOutcome AskPrinter(LPCSTR printerName, LPCSTR modelName, BOOL queryPrinter, OptionInfo& info)
{
    CMemoryCheck memory;

    // A library that cannot be found is treated as if the caller had not
    // asked for the printer. The current directory is never searched.
    char libraryPath[MAX_PATH];
    const BOOL found = FindBidiLibrary(libraryPath);
    if (found)
        Trace("%s found: %s", kBidiLibraryName, libraryPath);
    else
        Trace("%s not found", kBidiLibraryName);
    if (!found || !queryPrinter) {
        if (memory.Failed()) {
            Trace("out of memory");   // the search failed for want of memory
            return kOutOfMemory;
        }
        return kNotAsked;
    }

    // The links of this call load the library that its own search found.
    // The library's entry points are looked up once for both links. The
    // wait cursor goes after the links, when the library has been released.
    CWaitCursor wait;
    BidiEntryPoints entries;
    BidiLink link(libraryPath, &entries);
    CString deviceId;
    CString model;
    const BOOL haveDeviceId = link.ReadDeviceID(printerName, deviceId);
    const BOOL haveModel = haveDeviceId && ExtractModelName(deviceId, model);
    if (memory.Failed()) {
        Trace("out of memory reading the device ID");
        return kOutOfMemory;
    }
    if (!haveDeviceId) {
        Trace("device ID not read: reason %d, library result %d", link.reason, link.libResult);
        return kNotAnswered;
    }
    if (!haveModel) {
        Trace("device ID without a model value");
        return kNotAnswered;
    }
    Trace("model value \"%s\"", (LPCSTR)model);
    if (!CheckPrinterModel(modelName, model, &wait)) {
        Trace("printer of another model: expected \"%s\"", modelName);
        return kOtherModel;
    }
    if (theApp.modelIndex != kModelRowIdOnly && theApp.modelIndex != kModelRowWithDialog) {
        Trace("model \"%s\" is not supported", modelName);
        return kModelNotInTable;
    }
    SetRequest(info, theApp.modelIndex);

    // The query writes into a scratch copy, kept only when it succeeds.
    OptionInfo scratch;
    scratch.CopyFrom(&info);
    const BOOL answered = QueryOptionInfo(libraryPath, printerName, &scratch, &entries);
    Trace("option query: result %d", answered);
    if (memory.Failed()) {
        Trace("out of memory");   // a query that failed so says nothing about the printer
        return kOutOfMemory;
    }
    if (!answered)
        return kNotAnswered;
    info.CopyFrom(&scratch);
    return kAnswered;
}

// Owns the dialog for the length of its run: it is the application's main
// window while it runs and is deleted on every way out.
class DialogOwner {
public:
    explicit DialogOwner(COptionInfoDialog* dialog) : m_dialog(dialog) {}
    ~DialogOwner()
    {
        if (theApp.m_pMainWnd == m_dialog)
            theApp.m_pMainWnd = NULL;
        delete m_dialog;
    }
    COptionInfoDialog* operator->() const { return m_dialog; }
    COptionInfoDialog* get() const { return m_dialog; }

private:
    DialogOwner(const DialogOwner&);
    DialogOwner& operator=(const DialogOwner&);
    COptionInfoDialog* m_dialog;
};

// Shows the option dialog for printerName over info, in the form Answered
// when the printer answered. After OK, info holds what the dialog stored.
// Once it runs, the dialog reports what goes wrong inside it and the user
// carries on or cancels; its modal result decides.
DialogOutcome RunDialog(LPCSTR printerName, BOOL answered, OptionInfo& info)
{
    CMemoryCheck memory;
    DialogOwner dialog(new COptionInfoDialog(NULL));
    if (dialog.get() == NULL) {
        Trace("out of memory for the dialog");
        return kNoMemoryForDialog;
    }
    dialog->m_nModelIndex = theApp.modelIndex;
    dialog->m_bAnsweredByPrinter = answered;
    dialog->m_bSheetPrinted = FALSE;
    dialog->m_strPrinterName = printerName;
    dialog->m_optionInfo.CopyFrom(&info);
    if (memory.Failed()) {
        Trace("out of memory for the dialog");
        return kNoMemoryForDialog;
    }

    theApp.m_pMainWnd = dialog.get();
    const INT_PTR modalResult = dialog->DoModal();
    Trace("dialog ended with %d", (int)modalResult);
    switch (modalResult) {
    case -1:
        return kCouldNotRun;
    case IDOK:
        info.CopyFrom(&dialog->m_optionInfo);
        return kConfirmed;
    case IDCANCEL:
        return kCancelled;
    default:
        return kEndedOtherwise;
    }
}

// The caller's current record as the module's (the layouts agree, see
// above); NULL counts as all zeros.
OptionInfo FromCaller(const ::OptionInfo* currentInfo)
{
    OptionInfo info;
    if (currentInfo != NULL)
        memcpy(static_cast<void*>(&info), currentInfo, sizeof info);
    return info;
}

// Writes info into the caller's record and gives the call's 1. A NULL record
// is never written: the call runs as usual and its result says what happened.
int HandBack(const OptionInfo& info, ::OptionInfo* resultInfo)
{
    if (resultInfo != NULL)
        memcpy(resultInfo, &info, sizeof info);
    return 1;
}

// The README's table of results, row by row. The caller's record is written
// only as the last step of a path that returns 1.
int OpenPrinterInf(LPCSTR printerName, LPCSTR modelName, const ::OptionInfo* currentInfo,
                   ::OptionInfo* resultInfo, BOOL showDialog, BOOL queryPrinter)
{
    OptionInfo info = FromCaller(currentInfo);
    LookUpModel(modelName);

    const PrinterOutcome printer = AskPrinter(printerName, modelName, queryPrinter, info);
    if (printer == kOtherModel || printer == kModelNotInTable || printer == kOutOfMemory)
        return 0;
    if (!showDialog)
        return printer == kNotAnswered ? 0 : HandBack(info, resultInfo);
    if (theApp.modelIndex != kModelRowWithDialog) {
        Trace("no dialog for model \"%s\"", modelName);
        return 0;
    }

    OptionInfo entered = info;
    // Where nobody could answer it, the dialog is not shown: the call goes
    // on as for a dialog that cannot be shown at all.
    const DialogOutcome dialog = WindowCanBeAnswered("dialog")
                                     ? RunDialog(printerName, printer == kAnswered, entered)
                                     : kCouldNotRun;
    if (dialog == kNoMemoryForDialog)
        return 0;
    // The printer's values were read and checked: they stand however the
    // dialog ended, Cancel included, and also when it could not run at all.
    if (printer == kAnswered)
        return HandBack(info, resultInfo);
    if (dialog == kConfirmed)
        return HandBack(entered, resultInfo);
    // Cancel gives 0, and so does a dialog that could not run: nothing was
    // shown or chosen. A dialog ended with another result (neither OK nor
    // Cancel: ended from outside its buttons) gives 1 with the record
    // untouched. That 1 reports no values; it is what callers were promised:
    // 1.0.0 gave 1 for every end of the dialog but Cancel, and the README's
    // table of results keeps this row.
    return dialog == kEndedOtherwise ? 1 : 0;
}

// One call at a time per process: the application object's model index and
// main window, the help and message boxes that find the running dialog
// through it, are the module's and not the call's. A call that begins while
// another is running, on another thread or nested on the same one (from the
// running call's dialog or message box), is refused at once.
class CallGate {
public:
    CallGate() : m_entered(InterlockedCompareExchange(&s_running, 1, 0) == 0) {}
    ~CallGate()
    {
        if (m_entered)
            InterlockedExchange(&s_running, 0);
    }
    bool entered() const { return m_entered; }

private:
    CallGate(const CallGate&);
    CallGate& operator=(const CallGate&);
    static LONG s_running;
    const bool m_entered;
};

LONG CallGate::s_running = 0;

}  // namespace
}  // namespace qv

// A refused call and an internal failure (out of memory and the like) end the
// call with 0 and leave the caller's result record untouched.
extern "C" int WINAPI QVOpenPrinterInf(LPCSTR printerName, LPCSTR modelName, DWORD /*reserved*/,
                                       const OptionInfo* currentInfo, OptionInfo* resultInfo,
                                       int showDialog, int queryPrinter)
{
    qv::CallGate gate;
    if (!gate.entered()) {
        qv::Trace("call refused: another call of the module is running");
        return 0;
    }
    return qv::OpenPrinterInf(printerName != NULL ? printerName : "",
                              modelName != NULL ? modelName : "", currentInfo, resultInfo,
                              showDialog != 0, queryPrinter != 0);
}
