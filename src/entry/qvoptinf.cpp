// QVOpenPrinterInf: the module's one export. It asks the printer, shows the
// option dialog, or both, as the caller's two switches say, and hands the
// option information back in the caller's record.
#include "app.h"
#include "model_table.h"
#include "../bidi/bidi_link.h"
#include "../bidi/library_path.h"
#include "../bidi/option_query.h"
#include "../dialog/option_dialog.h"
#include "../optioninfo/option_info.h"
#include "../util/trace.h"

namespace qv {

namespace {

// Request flags written into the working record before the printer is asked,
// by model row: row 0 asks for the printer ID only, row 1 for everything.
void SetRequest(OptionInfo& info, int modelIndex)
{
    info.idValid = 1;
    info.idCount = kIdFieldCount;
    if (modelIndex == kModelRowWithDialog) {
        info.memoryValid = 1;
        info.paperSourceValid = 1;
    } else {
        info.memoryValid = 0;
        info.paperSourceValid = 0;
    }
}

// A NULL result record is never written: the call runs as usual and its
// result says what happened.
void CopyOut(const OptionInfo& info, OptionInfo* resultInfo)
{
    if (resultInfo != NULL)
        info.CopyTo(resultInfo);
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

// Memory that runs out anywhere in a call ends it with 0 and the caller's
// record untouched. The flow checks at each decision, so that a text that
// could not be built never steers it: a model value that could not be copied
// must not look like a printer of another model.
int OpenPrinterInf(LPCSTR printerName, LPCSTR modelName, const OptionInfo* currentInfo,
                   OptionInfo* resultInfo, BOOL showDialog, BOOL queryPrinter)
{
    CMemoryCheck memory;

    // A library that cannot be found is treated as if the caller had not
    // asked for the printer. The current directory is never searched.
    char libraryPath[MAX_PATH];
    if (!FindBidiLibrary(libraryPath)) {
        Trace("%s not found", kBidiLibraryName);
        queryPrinter = FALSE;
    } else {
        Trace("%s found: %s", kBidiLibraryName, libraryPath);
    }

    LookUpModel(modelName);

    OptionInfo workingInfo;
    workingInfo.CopyFrom(currentInfo);
    BOOL answered = FALSE;

    if (queryPrinter) {
        // The links of this call load the library that its own search found.
        // The library's entry points are looked up once for both links.
        BidiEntryPoints entries;
        BidiLink link(libraryPath, &entries);
        CString deviceId;
        CString model;
        BOOL haveDeviceId = link.ReadDeviceID(printerName, deviceId);
        BOOL haveModel = haveDeviceId && ExtractModelName(deviceId, model);
        if (memory.Failed()) {
            Trace("out of memory reading the device ID");
            return 0;
        }
        if (!haveDeviceId) {
            Trace("device ID not read: reason %d, library result %d", link.reason, link.libResult);
        } else if (!haveModel) {
            Trace("device ID without a model value");
        } else {
            Trace("model value \"%s\"", (LPCSTR)model);
            if (!CheckPrinterModel(modelName, model)) {
                Trace("printer of another model: expected \"%s\"", modelName);
                return 0;
            }
            if (theApp.modelIndex != kModelRowIdOnly && theApp.modelIndex != kModelRowWithDialog) {
                Trace("model \"%s\" is not supported", modelName);
                return 0;
            }
            SetRequest(workingInfo, theApp.modelIndex);

            // The query writes into a scratch copy, kept only when it succeeds.
            OptionInfo scratchInfo;
            scratchInfo.CopyFrom(&workingInfo);
            if (QueryOptionInfo(libraryPath, printerName, &scratchInfo, &entries)) {
                workingInfo.CopyFrom(&scratchInfo);
                answered = TRUE;
            }
            Trace("option query: result %d", answered);
        }
        // The link, and with it the library, is released here, before any dialog.
    }
    if (memory.Failed()) {
        // A search or a query that failed for want of memory says nothing
        // about the library or the printer.
        Trace("out of memory");
        return 0;
    }

    if (showDialog) {
        if (theApp.modelIndex != kModelRowWithDialog) {
            Trace("no dialog for model \"%s\"", modelName);
            return 0;
        }

        DialogOwner dialog(new COptionInfoDialog(NULL));
        if (dialog.get() == NULL) {
            Trace("out of memory for the dialog");
            return 0;
        }
        dialog->m_nModelIndex = theApp.modelIndex;
        dialog->m_bAnsweredByPrinter = answered;
        dialog->m_bSheetPrinted = FALSE;
        dialog->m_strPrinterName = printerName;
        dialog->m_optionInfo.CopyFrom(&workingInfo);
        if (memory.Failed()) {
            Trace("out of memory for the dialog");
            return 0;
        }

        // From here on the dialog reports what goes wrong inside it and the
        // user carries on or cancels; its modal result decides.
        theApp.m_pMainWnd = dialog.get();
        INT_PTR modalResult = dialog->DoModal();
        Trace("dialog ended with %d", (int)modalResult);
        if (modalResult == -1) {
            // The dialog could not run (no template, no window, no memory at
            // its start): nothing was shown or chosen, so nothing is handed
            // back, not even the printer's values.
            return 0;
        }

        if (answered) {
            // The printer's values stand, whatever the user pressed.
            CopyOut(workingInfo, resultInfo);
            return 1;
        }
        if (modalResult == IDOK) {
            workingInfo.CopyFrom(&dialog->m_optionInfo);
            CopyOut(workingInfo, resultInfo);
            return 1;
        }
        if (modalResult == IDCANCEL)
            return 0;
        return 1;   // another modal result: nothing to hand back
    }

    if (queryPrinter) {
        if (!answered)
            return 0;
        CopyOut(workingInfo, resultInfo);
        return 1;
    }
    CopyOut(workingInfo, resultInfo);
    return 1;
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
// call with 0 and leave the caller's result record untouched, since that
// record is written only as the last step of a successful path.
extern "C" int WINAPI QVOpenPrinterInf(LPCSTR printerName, LPCSTR modelName, DWORD /*reserved*/,
                                       const qv::OptionInfo* currentInfo, qv::OptionInfo* resultInfo,
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
