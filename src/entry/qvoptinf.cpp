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
// window while it runs and is deleted on every way out, exceptions included.
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

int OpenPrinterInf(LPCSTR printerName, LPCSTR modelName, const OptionInfo* currentInfo,
                   OptionInfo* resultInfo, BOOL showDialog, BOOL queryPrinter)
{
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
        BidiLink link(libraryPath);
        CString deviceId;
        CString model;
        if (!link.ReadDeviceID(printerName, deviceId)) {
            Trace("device ID not read: reason %d, library result %d", link.reason, link.libResult);
        } else if (!ExtractModelName(deviceId, model)) {
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
            if (QueryOptionInfo(libraryPath, printerName, &scratchInfo)) {
                workingInfo.CopyFrom(&scratchInfo);
                answered = TRUE;
            }
            Trace("option query: result %d", answered);
        }
        // The link, and with it the library, is released here, before any dialog.
    }

    if (showDialog) {
        if (theApp.modelIndex != kModelRowWithDialog) {
            Trace("no dialog for model \"%s\"", modelName);
            return 0;
        }

        DialogOwner dialog(new COptionInfoDialog(NULL));
        dialog->m_nModelIndex = theApp.modelIndex;
        dialog->m_bAnsweredByPrinter = answered;
        dialog->m_bSheetPrinted = FALSE;
        dialog->m_strPrinterName = printerName;
        dialog->m_optionInfo.CopyFrom(&workingInfo);

        theApp.m_pMainWnd = dialog.get();
        INT_PTR modalResult = dialog->DoModal();
        Trace("dialog ended with %d", (int)modalResult);

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
        return 1;   // the dialog could not run: nothing to hand back
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

}  // namespace

// No exception leaves the module: an internal failure (out of memory and the
// like) ends the call with 0 and leaves the caller's result record untouched,
// since that record is written only as the last step of a successful path.
extern "C" int WINAPI QVOpenPrinterInf(LPCSTR printerName, LPCSTR modelName, DWORD /*reserved*/,
                                       const OptionInfo* currentInfo, OptionInfo* resultInfo,
                                       int showDialog, int queryPrinter)
{
    try {
        return OpenPrinterInf(printerName != NULL ? printerName : "",
                              modelName != NULL ? modelName : "", currentInfo, resultInfo,
                              showDialog != 0, queryPrinter != 0);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return 0;
}
