// qvsoak: calls QVOpenPrinterInf many times on every path and shows that the
// process ends each path holding what it held at its start: kernel handles,
// GDI and USER objects, windows, heap bytes and blocks, TLS indexes; and that
// XKAPI.DLL is not left loaded by any call.
//
//   qvsoak [--calls N] [--dialogs N] [--cycles N] [--every N] [--only PATH]
//          [--leak handle|heap|window|library]
//
// --calls    calls per path without a dialog (default 10000)
// --dialogs  calls per dialog state (default 200)
// --cycles   loads, calls and unloads of the module (default 2000), as a
//            host does that loads a driver's files for each use
// --every    calls between samples (default: a tenth of the path's count)
// --only     runs one path (by its name in the table)
// --leak     leaks one resource of that kind at every call, in the soak's
//            own loop: proves that the checks catch a leak (heap: a block
//            taken through the route that counts the module's own blocks)
//
// The program lives in bin\soak\ with a copy of the module, where no
// XKAPI.DLL lies (the module looks beside itself too). Each path puts the
// folder of the library it wants at the front of PATH (bin\ for the fake,
// sim\ for the printer simulator), or nothing for "library absent"; the
// module's search reads PATH at every call.
//
// The library check: while the soak holds the fake (it must, to script it),
// the fake stays loaded whatever the module does, so after every call the
// soak checks the fake's own counters (every XKInitialize released, every
// channel closed) and that the fake is still loaded (a call that freed a
// reference too many would have unloaded it). At the end of the path the
// soak drops its own reference and checks that the fake is gone: a
// reference left by any call of the path keeps it loaded, and leaked
// references add up, so one check catches a leak of any call. (The fake is
// not reloaded between samples: each unload and reload of it leaves some
// 19 KB and a couple of handles behind by itself, which would hide the module's
// figures.) Paths that run without the soak holding a library (the
// simulator, absent library, no query, dialog without query) check after
// every call that no XKAPI.DLL is loaded at all; the simulator is loaded and
// unloaded by the module at every call.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog/resource.h"
#include "fake_xk.h"
#include "heap_watch.h"
#include "module_under_test.h"
#include "process_resources.h"
#include "ui_driver.h"

namespace {

const char kRow0[] = "KV-3100D";
const char kRow1[] = "Marlow Wide 900";
const char kIdRow0[] = "MFG:Sim;MDL:KV-3100D;CMD:X;";
const char* const kIdRow1 = kStandardDeviceId;
const char kPrinter[] = "Soak Printer";
// A name the spooler does not know: the settings sheet goes nowhere.
const char kNoSuchPrinter[] = "QV No Such Printer";
const char kDialogCaption[] = "Informazioni su stampante e opzioni";
const long kWarmUpCalls = 10;

// Growth allowed between the sample after warm-up and the last one.
// Handles, objects and windows: none. The module's own heap blocks (counted
// at its imports): none. The process's heaps as HeapWalk shows them: a
// little, for what the platform keeps of its own; anything a call leaked
// would be paid once per call, which counts of a few hundred calls and more
// bring far above this. That view is held only where HeapWalk shows every
// block (see HeapWalkShowsEveryBlock).
const LONGLONG kTolerance[kResourceKindCount] = {0, 0, 0, 0, 1024, 8, 0, 0, 0};

enum Library {
    kLibraryNone,       // PATH without a library folder: XKAPI.DLL is not found
    kLibraryFake,       // bin\XKAPI.DLL, held and scripted by the soak
    kLibraryFakeIdle,   // bin\XKAPI.DLL can be found but the soak does not hold it
    kLibrarySimulator,  // sim\XKAPI.DLL, not held by the soak
};

enum LeakKind { kLeakNone, kLeakHandle, kLeakHeap, kLeakWindow, kLeakLibrary };

struct Options {
    long calls = 10000;
    long dialogs = 200;
    long cycles = 2000;
    long every = 0;
    std::string only;
    LeakKind leak = kLeakNone;
};

// What the fake printer's reply gives for the second model.
OptionInfo PrinterRecordRow1()
{
    return PrinterAnswer(CallerRecord());
}

std::string ParentFolder(const std::string& folder)
{
    // folder ends with a backslash; so does the result.
    std::string::size_type cut = folder.find_last_of('\\', folder.size() - 2);
    return folder.substr(0, cut + 1);
}

class Soak;

// One path through the export: how the library is offered, how the fake is
// scripted, and one call with its checks (returns an empty text when the
// call went as it should, else what went wrong).
enum PathKind { kCall, kDialog, kCycle };

struct SoakPath {
    const char* name;
    PathKind kind;
    Library library;
    std::function<void(FakeXk&)> script;
    std::function<std::string(Soak&)> call;
};

struct PathResult {
    const char* name;
    long calls;
    ResourceSample start;
    ResourceSample end;
    ResourceSample peak;
    long failedCalls;
    std::string firstFailure;
    long libraryChecks;
    double msPerCall;
    bool grew[kResourceKindCount];
    LONGLONG allowed[kResourceKindCount];
};

class Soak {
public:
    explicit Soak(const Options& options) : m_options(options)
    {
        m_binFolder = ParentFolder(ExecutableFolder());
        m_simFolder = ParentFolder(m_binFolder) + "sim\\";
        DWORD n = GetEnvironmentVariableA("PATH", NULL, 0);
        if (n > 0) {
            std::vector<char> path(n);
            GetEnvironmentVariableA("PATH", &path[0], n);
            m_basePath = &path[0];
        }
    }

    PFN_QVOpenPrinterInf open() const { return m_cycleOpen != NULL ? m_cycleOpen : m_module.open(); }

    // Runs call through a second copy of the module (bin\soak\cycle\),
    // loaded for it and freed after it.
    std::string WithModuleLoadedForTheCall(const std::function<std::string(Soak&)>& call)
    {
        const std::string path = ExecutableFolder() + "cycle\\qvoptinf.dll";
        std::string problem;
        {
            ModuleUnderTest module(path);
            if (module.module() == NULL)
                return "the module did not load from " + path;
            HeapWatch watch(module.module());   // until before it is freed
            if (!watch.watching())
                return "the module's heap cannot be counted: no HeapAlloc and HeapFree imported by name";
            m_cycleOpen = module.open();
            problem = m_cycleOpen != NULL ? call(*this) : "the module has no export";
            m_cycleOpen = NULL;
        }
        if (problem.empty() && GetModuleHandleA(path.c_str()) != NULL)
            problem = "the module stays loaded after FreeLibrary";
        return problem;
    }
    FakeXk* fake() const { return m_fake.get(); }

    int Run(const std::vector<SoakPath>& paths)
    {
        if (open() == NULL) {
            printf("qvoptinf.dll did not load from %s\n", m_binFolder.c_str());
            return 2;
        }
        m_moduleHeap.reset(new HeapWatch(m_module.module()));
        if (!m_moduleHeap->watching()) {
            printf("qvoptinf.dll imports no HeapAlloc and HeapFree by name: its heap cannot be counted\n");
            return 2;
        }
        m_guiReported = GuiResourcesReported();
        printf("GDI and USER objects: %s\n",
               m_guiReported ? "counted by GetGuiResources"
                             : "not reported here (GetGuiResources answers 0, not implemented); "
                               "the thread's windows are counted instead");
        printf("handles: %s\n", HandleCountReported()
                                     ? "counted by GetProcessHandleCount"
                                     : "GetProcessHandleCount answers 0 here; counted by probing "
                                       "every handle value with GetHandleInformation");
        printf("module heap: the module's own blocks, counted at its imports of HeapAlloc, "
               "HeapReAlloc and HeapFree\n");
        m_heapWalkHeld = HeapWalkShowsEveryBlock();
        printf("heap bytes and blocks: the process's heaps as HeapWalk shows them; %s\n",
               m_heapWalkHeld ? "held to the tolerance"
                              : "not held here: small blocks taken and given back do not show in "
                                "HeapWalk's figures (a low-fragmentation front end serves them), "
                                "so these figures neither see a small leak nor stay flat without one");
        printf("tolerance after %ld warm-up calls: handles, objects, windows, module heap +0; "
               "heap +%lld bytes, +%lld blocks\n\n",
               kWarmUpCalls, kTolerance[kHeapBytes], kTolerance[kHeapBlocks]);

        std::vector<PathResult> results;
        results.reserve(paths.size());
        for (const SoakPath& path : paths) {
            if (!m_options.only.empty() && m_options.only != path.name)
                continue;
            results.push_back(RunPath(path));
            PrintRow(results.back());
            fflush(stdout);
        }
        if (results.empty()) {
            printf("no path named %s\n", m_options.only.c_str());
            return 2;
        }
        return Verdict(results);
    }

private:
    void SetPath(Library library)
    {
        std::string path = m_basePath;
        if (library == kLibraryFake || library == kLibraryFakeIdle)
            path = m_binFolder + ";" + m_basePath;
        else if (library == kLibrarySimulator)
            path = m_simFolder + ";" + m_basePath;
        SetEnvironmentVariableA("PATH", path.c_str());
    }

    // (Re)loads the fake and scripts it for path.
    bool LoadFake(const SoakPath& path)
    {
        m_fake.reset(new FakeXk(NULL, m_binFolder));
        if (!m_fake->loaded())
            return false;
        m_fake->SetLogging(false);
        if (path.script)
            path.script(*m_fake);
        return true;
    }

    // After every call: the library is left as it was before the call.
    std::string CheckLibraryAfterCall(Library library)
    {
        HMODULE loaded = GetModuleHandleA("XKAPI.DLL");
        if (library != kLibraryFake)
            return loaded == NULL ? "" : "XKAPI.DLL still loaded after the call";
        if (loaded != m_fake->module())
            return "the fake was unloaded under the soak's own reference: a reference freed twice";
        if (m_fake->InitDepth() != 0)
            return "XKInitialize without XKRelease";
        if (m_fake->OpenChannels() != 0)
            return "a channel left open";
        return "";
    }

    // At the end of a path that holds the fake: without the soak's own
    // reference the fake must unload.
    std::string CheckNoReferenceLeft()
    {
        m_fake.reset();
        std::string problem;
        if (GetModuleHandleA("XKAPI.DLL") != NULL)
            problem = "XKAPI.DLL stays loaded without the soak's reference: a call left one";
        // Unload it for good so that the next path starts without it.
        while (GetModuleHandleA("XKAPI.DLL") != NULL && FreeLibrary(GetModuleHandleA("XKAPI.DLL"))) {
        }
        return problem;
    }

    void Leak()
    {
        switch (m_options.leak) {
        case kLeakHandle:
            CreateEventA(NULL, TRUE, FALSE, NULL);
            break;
        case kLeakHeap:
            // As a block that the module takes and never gives back.
            HeapWatch::AllocateAsWatched(64);
            break;
        case kLeakWindow:
            CreateWindowA("STATIC", "leak", 0, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
            break;
        case kLeakLibrary:
            LoadLibraryA((m_binFolder + "XKAPI.DLL").c_str());
            break;
        case kLeakNone:
            break;
        }
    }

    PathResult RunPath(const SoakPath& path)
    {
        PathResult result;
        result.name = path.name;
        result.calls = path.kind == kDialog  ? m_options.dialogs
                       : path.kind == kCycle ? m_options.cycles
                                             : m_options.calls;
        result.failedCalls = 0;
        result.libraryChecks = 0;
        result.msPerCall = 0;
        for (int k = 0; k < kResourceKindCount; k++)
            result.grew[k] = false;
        for (int k = 0; k < kResourceKindCount; k++)
            result.allowed[k] = kTolerance[k];

        SetPath(path.library);
        if (path.library == kLibraryFake && !LoadFake(path)) {
            result.failedCalls = result.calls;
            result.firstFailure = "the fake XKAPI.DLL did not load from " + m_binFolder;
            result.start = result.end = result.peak = TakeResourceSample();
            result.msPerCall = 0;
            return result;
        }

        // Small counts (the test suite's) still keep the first calls out.
        const long warmUp = result.calls / 2 < kWarmUpCalls ? result.calls / 2 : kWarmUpCalls;
        long every = m_options.every > 0 ? m_options.every : (result.calls - warmUp) / 10;
        if (every < 1)
            every = 1;

        auto fail = [&result](const std::string& problem, long call) {
            if (result.failedCalls++ == 0)
                result.firstFailure = "call " + std::to_string(call) + ": " + problem;
        };
        // Time in the calls themselves, samples left out.
        LARGE_INTEGER frequency, begin, finish;
        LONGLONG ticks = 0;
        QueryPerformanceFrequency(&frequency);

        if (warmUp == 0)
            result.start = result.peak = TakeResourceSample();
        for (long call = 1; call <= result.calls; call++) {
            QueryPerformanceCounter(&begin);
            std::string problem = path.call(*this);
            QueryPerformanceCounter(&finish);
            ticks += finish.QuadPart - begin.QuadPart;
            if (problem.empty())
                problem = CheckLibraryAfterCall(path.library);
            if (!problem.empty())
                fail(problem, call);
            Leak();

            if (call == warmUp) {
                result.start = result.peak = TakeResourceSample();
            } else if (call > warmUp && ((call - warmUp) % every == 0 || call == result.calls)) {
                ResourceSample s = TakeResourceSample();
                for (int k = 0; k < kResourceKindCount; k++) {
                    if (s.value[k] > result.peak.value[k])
                        result.peak.value[k] = s.value[k];
                }
                result.end = s;
            }
        }
        result.msPerCall = 1000.0 * ticks / frequency.QuadPart / result.calls;
        if (result.calls == warmUp)
            result.end = result.start;
        if (path.library == kLibraryFake) {
            result.libraryChecks++;
            std::string problem = CheckNoReferenceLeft();
            if (!problem.empty())
                fail(problem, result.calls);
        }

        for (int k = 0; k < kResourceKindCount; k++)
            result.allowed[k] = kTolerance[k];
        for (int k = 0; k < kResourceKindCount; k++) {
            const bool held = m_heapWalkHeld || (k != kHeapBytes && k != kHeapBlocks);
            result.grew[k] = held && result.end.value[k] - result.start.value[k] > result.allowed[k];
        }
        return result;
    }

    void PrintHeader() const
    {
        printf("%-26s %6s %8s  %-18s %-16s %-26s %-18s %-18s %-12s %s\n", "path", "calls", "ms/call",
               "handles", m_guiReported ? "GDI/USER objects" : "windows", "heap bytes", "heap blocks",
               "module heap", "TLS index", "XKAPI.DLL after each call");
    }

    static std::string Change(const PathResult& r, ResourceKind k)
    {
        char text[64];
        snprintf(text, sizeof text, "%lld->%lld (%+lld)", r.start.value[k], r.end.value[k],
                 r.end.value[k] - r.start.value[k]);
        return text;
    }

    void PrintRow(const PathResult& r)
    {
        if (!m_headerPrinted) {
            PrintHeader();
            m_headerPrinted = true;
        }
        std::string gui;
        if (m_guiReported) {
            char text[64];
            snprintf(text, sizeof text, "%+lld/%+lld",
                     r.end.value[kGdiObjects] - r.start.value[kGdiObjects],
                     r.end.value[kUserObjects] - r.start.value[kUserObjects]);
            gui = text;
        } else {
            gui = Change(r, kThreadWindows);
        }
        char library[64];
        if (r.libraryChecks > 0)
            snprintf(library, sizeof library, "released; unloads at end");
        else
            snprintf(library, sizeof library, "not loaded");
        char module[64];
        snprintf(module, sizeof module, "%+lld B, %+lld blocks",
                 r.end.value[kModuleHeapBytes] - r.start.value[kModuleHeapBytes],
                 r.end.value[kModuleHeapBlocks] - r.start.value[kModuleHeapBlocks]);
        printf("%-26s %6ld %8.2f  %-18s %-16s %-26s %-18s %-18s %-12s %s\n", r.name, r.calls, r.msPerCall,
               Change(r, kHandles).c_str(), gui.c_str(), Change(r, kHeapBytes).c_str(),
               Change(r, kHeapBlocks).c_str(), module, Change(r, kTlsIndex).c_str(), library);
    }

    int Verdict(const std::vector<PathResult>& results) const
    {
        int problems = 0;
        printf("\n");
        for (const PathResult& r : results) {
            if (r.failedCalls > 0) {
                printf("FAILED: %s: %ld of %ld calls; first: %s\n", r.name, r.failedCalls, r.calls,
                       r.firstFailure.c_str());
                problems++;
            }
            for (int k = 0; k < kResourceKindCount; k++) {
                if (!r.grew[k])
                    continue;
                printf("LEAK: %s %s grew by %lld (peak %lld, allowed %lld) over %ld calls\n", r.name,
                       ResourceName(static_cast<ResourceKind>(k)),
                       r.end.value[k] - r.start.value[k], r.peak.value[k] - r.start.value[k],
                       r.allowed[k], r.calls);
                problems++;
            }
        }
        if (problems == 0)
            printf("flat: every path ends where it started, within the tolerance\n");
        return problems == 0 ? 0 : 1;
    }

    Options m_options;
    ModuleUnderTest m_module;
    std::unique_ptr<HeapWatch> m_moduleHeap;   // from Run() on, once the module is there
    PFN_QVOpenPrinterInf m_cycleOpen = NULL;
    std::unique_ptr<FakeXk> m_fake;
    std::string m_binFolder;
    std::string m_simFolder;
    std::string m_basePath;
    bool m_guiReported = false;
    bool m_heapWalkHeld = false;
    bool m_headerPrinted = false;
};

// ---- The paths -------------------------------------------------------------

void ScriptAnsweringPrinter(FakeXk& fake)
{
    fake.SetDeviceIdText(kIdRow1);
    fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}, {kBasicStatusChannel, 1}}));
    fake.SetReply(kPreferredStatusChannel, kStandardReply);
}

// The printer answers until the given entry point fails at every call.
std::function<void(FakeXk&)> FailingAt(const char* entry, LONG value)
{
    return [entry, value](FakeXk& fake) {
        ScriptAnsweringPrinter(fake);
        fake.ForceResult(entry, 0, value);
    };
}

// A call without a dialog that must return result and leave expected in
// the result record.
std::function<std::string(Soak&)> Call(const char* model, int queryPrinter, int expectedResult,
                                       const OptionInfo& expected)
{
    return [=](Soak& soak) -> std::string {
        OptionInfo current = CallerRecord();
        OptionInfo result = Untouched();
        int r = soak.open()(kPrinter, model, 0, &current, &result, 0, queryPrinter);
        if (r != expectedResult)
            return "returned " + std::to_string(r) + ", expected " + std::to_string(expectedResult);
        if (!SameRecord(result, expected))
            return "expected the record " + Describe(expected) + ", got " + Describe(result);
        return "";
    };
}

// call, through a copy of the module loaded for it and freed after it: the
// module leaves nothing behind when it goes, however often it comes.
std::function<std::string(Soak&)> LoadedForTheCall(std::function<std::string(Soak&)> call)
{
    return [call](Soak& soak) { return soak.WithModuleLoadedForTheCall(call); };
}

std::string CallOtherModel(Soak& soak)
{
    UiDriver driver(5000);
    driver.AnswerMessageBoxesWith(IDOK);
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    int r = soak.open()(kPrinter, kRow1, 0, &current, &result, 0, 1);
    if (r != 0 || !SameRecord(result, Untouched()))
        return "another model was not refused";
    if (driver.boxes().size() != 1)
        return "expected one message box, saw " + std::to_string(driver.boxes().size());
    return "";
}

std::string CallSimulator(Soak& soak)
{
    // The values come from the simulator's settings file, which is the
    // user's to edit: only the answer itself is checked.
    OptionInfo result = Untouched();
    int r = soak.open()(kPrinter, kRow1, 0, NULL, &result, 0, 1);
    if (r != 1 || result.idValid != 1 || result.idCount != 6)
        return "the simulated printer did not answer";
    return "";
}

// A dialog run, closed by step; it must return expectedResult.
std::string RunDialog(Soak& soak, int queryPrinter, std::function<void(HWND)> step,
                      int expectedResult, std::function<bool(const OptionInfo&)> resultOk)
{
    UiDriver driver(5000);
    driver.WhenWindow(kDialogCaption, step);
    OptionInfo current = CallerRecord();
    const INT32 ids[6] = {30, 32, 34, 36, 38, 40};
    memcpy(current.id, ids, sizeof ids);
    current.idValid = 1;
    current.idCount = 6;
    OptionInfo result = Untouched();
    int r = soak.open()(kNoSuchPrinter, kRow1, 0, &current, &result, 1, queryPrinter);
    if (driver.timedOut() || driver.pendingSteps() != 0)
        return "the dialog was not worked as planned";
    if (!driver.boxes().empty())
        return "unexpected message box: " + driver.boxes()[0].text;
    if (r != expectedResult)
        return "returned " + std::to_string(r) + ", expected " + std::to_string(expectedResult);
    if (!resultOk(result))
        return "unexpected result record";
    return "";
}

std::string DialogAwaitingSheet(Soak& soak)
{
    return RunDialog(
        soak, 0,
        [](HWND dialog) {
            // Awaiting the sheet, the ID edits are disabled.
            if (!UiDriver::IsEnabled(dialog, IDC_ID1))
                UiDriver::Click(dialog, IDCANCEL);
        },
        0, [](const OptionInfo& r) { return SameRecord(r, Untouched()); });
}

std::string DialogSheetPrinted(Soak& soak)
{
    return RunDialog(
        soak, 0,
        [](HWND dialog) {
            UiDriver::Click(dialog, IDC_SETTINGS_SHEET);
            UiDriver::Type(dialog, IDC_ID2, "44");   // refused unless the sheet was printed
            UiDriver::Click(dialog, IDOK);
        },
        1, [](const OptionInfo& r) { return r.id[0] == 30 && r.id[1] == 44 && r.id[5] == 40; });
}

std::string DialogAnswered(Soak& soak)
{
    return RunDialog(
        soak, 1, [](HWND dialog) { UiDriver::Click(dialog, IDOK); }, 1,
        [](const OptionInfo& r) { return r.id[0] == 30 && r.id[1] == 42 && r.memorySizeMB == 64; });
}

std::vector<SoakPath> Paths()
{
    const OptionInfo untouched = Untouched();
    const OptionInfo copy = CallerRecord();
    return {
        {"query_success", kCall, kLibraryFake, ScriptAnsweringPrinter,
         Call(kRow1, 1, 1, PrinterRecordRow1())},
        {"query_success_simulator", kCall, kLibrarySimulator, nullptr, CallSimulator},
        {"fail_initialize", kCall, kLibraryFake, FailingAt("XKInitialize", -13),
         Call(kRow1, 1, 0, untouched)},
        {"fail_get_device_id", kCall, kLibraryFake, FailingAt("XKGetDeviceID", -20),
         Call(kRow1, 1, 0, untouched)},
        {"fail_get_available_channel", kCall, kLibraryFake,
         FailingAt("XKGetAvailableChannel", -5), Call(kRow1, 1, 0, untouched)},
        // The printer offers the channel but cannot open it. (A forced result
        // would leave the fake counting a channel it opened but whose handle
        // it never handed out.)
        {"fail_open_channel", kCall, kLibraryFake,
         [](FakeXk& fake) {
             fake.SetDeviceIdText(kIdRow1);
             fake.SetChannels(FakeXk::Table({{kPreferredStatusChannel, 1}}));
         },
         Call(kRow1, 1, 0, untouched)},
        {"fail_get_status", kCall, kLibraryFake, FailingAt("XKGetStatus", -7),
         Call(kRow1, 1, 0, untouched)},
        {"fail_close_channel", kCall, kLibraryFake, FailingAt("XKCloseChannel", -7),
         Call(kRow1, 1, 0, untouched)},
        {"library_absent", kCall, kLibraryNone, nullptr, Call(kRow1, 1, 1, copy)},
        {"both_switches_clear", kCall, kLibraryFakeIdle, nullptr, Call(kRow1, 0, 1, copy)},
        {"other_model", kCall, kLibraryFake,
         [](FakeXk& fake) {
             ScriptAnsweringPrinter(fake);
             fake.SetDeviceIdText(kIdRow0);
         },
         CallOtherModel},
        {"dialog_awaiting_sheet", kDialog, kLibraryFakeIdle, nullptr, DialogAwaitingSheet},
        {"dialog_sheet_printed", kDialog, kLibraryFakeIdle, nullptr, DialogSheetPrinted},
        {"dialog_answered", kDialog, kLibraryFake, ScriptAnsweringPrinter, DialogAnswered},
        {"load_call_unload", kCycle, kLibraryFake, ScriptAnsweringPrinter,
         LoadedForTheCall(Call(kRow1, 1, 1, PrinterRecordRow1()))},
    };
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        std::string value = argv[++i];
        if (arg == "--calls")
            options.calls = atol(value.c_str());
        else if (arg == "--dialogs")
            options.dialogs = atol(value.c_str());
        else if (arg == "--cycles")
            options.cycles = atol(value.c_str());
        else if (arg == "--every")
            options.every = atol(value.c_str());
        else if (arg == "--only")
            options.only = value;
        else if (arg == "--leak" && value == "handle")
            options.leak = kLeakHandle;
        else if (arg == "--leak" && value == "heap")
            options.leak = kLeakHeap;
        else if (arg == "--leak" && value == "window")
            options.leak = kLeakWindow;
        else if (arg == "--leak" && value == "library")
            options.leak = kLeakLibrary;
        else
            return false;
    }
    return options.calls > 0 && options.dialogs > 0 && options.cycles > 0 && options.every >= 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr,
                "usage: qvsoak [--calls N] [--dialogs N] [--cycles N] [--every N] [--only PATH] "
                "[--leak handle|heap|window|library]\n");
        return 2;
    }
    printf("qvsoak: %ld calls per path, %ld per dialog state, %ld loads of the module\n", options.calls,
           options.dialogs, options.cycles);
    Soak soak(options);
    return soak.Run(Paths());
}
