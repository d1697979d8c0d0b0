// What the module owes the process that loads it, through bin\qvoptinf.dll
// and the fake XKAPI.DLL: one call at a time, enforced; no message box in a
// window station that nobody sees; a support trace only when asked for; and,
// through the test build bin\probe\qvprobe.dll, a load that fails cleanly and
// no clean-up in a process that is ending.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "debug_output_capture.h"
#include "dialog/resource.h"
#include "dialog_texts.h"
#include "fake_xk.h"
#include "import_patch.h"
#include "module_under_test.h"
#include "ui_driver.h"

namespace {

const char kRow1[] = "Marlow Wide 900";

// What a look-up of a system function by name answers, in place of the
// platform's answer (NULL: the function is missing).
struct LookUp {
    const char* name;
    FARPROC answer;
};

std::vector<LookUp> g_lookUps;

FARPROC WINAPI LookUpAsTheTestSays(HMODULE module, LPCSTR name)
{
    for (const LookUp& lookUp : g_lookUps) {
        if (!IS_INTRESOURCE(name) && strcmp(lookUp.name, name) == 0)
            return lookUp.answer;
    }
    return GetProcAddress(module, name);
}

// A load of its own of the module (its copy in bin\nolib\, beside no vendor
// library; the fake of bin\ is found in the application's folder) whose
// look-ups of the functions of newer systems (runtime/platform.h) answer as
// lookUps say. The module looks them up at its first use after the load,
// and this patches its import of GetProcAddress before that.
class ModuleCopy {
public:
    explicit ModuleCopy(const std::vector<LookUp>& lookUps) : m_module(ExecutableFolder() + "nolib\\qvoptinf.dll")
    {
        g_lookUps = lookUps;
        if (m_module.module() != NULL)
            m_patch.reset(new ImportPatch(m_module.module(), "KERNEL32.dll", "GetProcAddress",
                                          (void*)LookUpAsTheTestSays));
    }
    ~ModuleCopy() { g_lookUps.clear(); }
    bool ready() const { return m_module.open() != NULL && m_patch != NULL && m_patch->applied(); }
    PFN_QVOpenPrinterInf open() const { return m_module.open(); }

private:
    ModuleUnderTest m_module;
    std::unique_ptr<ImportPatch> m_patch;
};

// A call with both switches clear: 1 and a copy of the caller's record when
// it runs, 0 and the record untouched when it is refused.
struct Call {
    int result;
    OptionInfo record;
};

Call CallWithNeitherSwitch()
{
    Call call;
    call.record = Untouched();
    OptionInfo current = CallerRecord();
    call.result = ModuleExport()("Printer", kRow1, 0, &current, &call.record, 0, 0);
    return call;
}

void ExpectRefused(const Call& call)
{
    EXPECT_EQ(0, call.result);
    EXPECT_TRUE(SameRecord(Untouched(), call.record)) << Describe(call.record);
}

DWORD WINAPI CallFromAnotherThread(void* out)
{
    *static_cast<Call*>(out) = CallWithNeitherSwitch();
    return 0;
}

class OneCallAtATime : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ModuleExport() != NULL) << "bin\\qvoptinf.dll did not load"; }

    // Runs the dialog on this thread; step runs on it while it is open.
    int RunDialog(std::function<void(HWND)> step)
    {
        driver.WhenWindow(kDialogCaption, [step](HWND dialog) {
            step(dialog);
            UiDriver::Click(dialog, IDCANCEL);
        });
        OptionInfo result = Untouched();
        return ModuleExport()("Printer", kRow1, 0, NULL, &result, 1, 0);
    }

    UiDriver driver;
};

TEST_F(OneCallAtATime, CallFromAnotherThreadWhileTheDialogIsOpen)
{
    Call second = {-1, {}};
    bool ran = false;
    RunDialog([&](HWND) {
        HANDLE thread = CreateThread(NULL, 0, CallFromAnotherThread, &second, 0, NULL);
        ASSERT_TRUE(thread != NULL);
        ran = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
        CloseHandle(thread);
    });
    ASSERT_TRUE(ran) << "the other thread's call did not come back";
    ExpectRefused(second);
    EXPECT_TRUE(driver.boxes().empty());
    EXPECT_EQ(1, CallWithNeitherSwitch().result) << "a call after the running one ends works";
}

TEST_F(OneCallAtATime, CallNestedFromATimerOnTheDialogsThread)
{
    Call nested = {-1, {}};
    RunDialog([&](HWND) { nested = CallWithNeitherSwitch(); });
    ExpectRefused(nested);
    EXPECT_TRUE(driver.boxes().empty());
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(1, CallWithNeitherSwitch().result);
}

// Eight threads ask the printer at once. Each gets the printer's exact record
// with 1, or 0 with its record untouched; the library is never initialised by
// more than one call at a time (two nested initialisations) and ends released.
struct QueryThread {
    HANDLE start;
    int result;
    OptionInfo record;
};

DWORD WINAPI QueryWhenStarted(void* data)
{
    QueryThread* q = static_cast<QueryThread*>(data);
    WaitForSingleObject(q->start, INFINITE);
    q->record = Untouched();
    q->result = ModuleExport()("Printer", kRow1, 0, NULL, &q->record, 0, 1);
    return 0;
}

TEST_F(OneCallAtATime, EightThreadsQueryAtOnce)
{
    FakeXk fake;
    ASSERT_TRUE(fake.loaded());
    fake.SetStandardPrinter();
    fake.SetLogging(false);
    OptionInfo printer = Untouched();
    ASSERT_EQ(1, ModuleExport()("Printer", kRow1, 0, NULL, &printer, 0, 1));

    HANDLE start = CreateEventA(NULL, TRUE, FALSE, NULL);
    QueryThread queries[8];
    HANDLE threads[8];
    for (int i = 0; i < 8; i++) {
        queries[i].start = start;
        threads[i] = CreateThread(NULL, 0, QueryWhenStarted, &queries[i], 0, NULL);
        ASSERT_TRUE(threads[i] != NULL);
    }
    SetEvent(start);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(8, threads, TRUE, 30000));
    int answered = 0;
    for (int i = 0; i < 8; i++) {
        CloseHandle(threads[i]);
        if (queries[i].result == 1) {
            answered++;
            EXPECT_TRUE(SameRecord(printer, queries[i].record)) << "thread " << i << ": " << Describe(queries[i].record);
        } else {
            EXPECT_EQ(0, queries[i].result) << "thread " << i;
            EXPECT_TRUE(SameRecord(Untouched(), queries[i].record)) << "thread " << i << ": " << Describe(queries[i].record);
        }
    }
    CloseHandle(start);
    EXPECT_GE(answered, 1);
    EXPECT_EQ(2, fake.MaxInitDepth()) << "calls overlapped inside the module";
    EXPECT_EQ(0, fake.InitDepth());
    std::printf("%d of 8 threads answered, the others refused\n", answered);
}

// A window is shown only where somebody can answer it. Where the process's
// window station is not visible (a service's), or it has none yet (on NT 3.51
// a process has none until it first calls USER or GDI), neither the
// incompatible-printer message nor the dialog is shown (either would wait for
// good) and the trace says so: the call ends as after the message, or as for
// a dialog that cannot be shown at all. Where there are no window stations
// (Windows 9x), or the station cannot be asked, windows are shown.
HWINSTA WINAPI NoStation()
{
    return NULL;
}

BOOL WINAPI StationCannotBeAsked(HANDLE, int, PVOID, DWORD, LPDWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// The calls that reach a window: the printer query of a printer of another
// model (the message), the dialog switch alone, and both switches with a
// printer that answers.
enum StationCall { kOtherModel, kDialogAlone, kDialogPrinterAnswers };

struct StationRow {
    const char* name;
    bool stationNobodySees;   // the call runs in a new window station, not visible
    std::vector<LookUp> lookUps;
    StationCall call;
    bool windowShown;
};

const StationRow kStationRows[] = {
    // A service's station.
    {"NobodySeesTheMessage", true, {}, kOtherModel, false},
    {"NobodySeesTheDialog", true, {}, kDialogAlone, false},
    {"NobodySeesTheDialogPrinterAnswers", true, {}, kDialogPrinterAnswers, false},
    // A service on NT 3.51 before its first call of USER or GDI: the dialog
    // switch alone makes no such call before it asks.
    {"NoStationYet", false, {{"GetProcessWindowStation", (FARPROC)NoStation}}, kDialogAlone, false},
    // Windows 9x.
    {"NoWindowStations", false, {{"GetProcessWindowStation", NULL}, {"GetUserObjectInformationA", NULL}},
     kDialogAlone, true},
    // The station's flags cannot be read: windows, as before the check.
    {"StationCannotBeAsked", false, {{"GetUserObjectInformationA", (FARPROC)StationCannotBeAsked}}, kOtherModel,
     true},
};

void PrintTo(const StationRow& row, std::ostream* out)
{
    *out << row.name;
}

class WindowStation : public ::testing::TestWithParam<StationRow> {};

TEST_P(WindowStation, WindowsOnlyWhereSomebodyCanAnswerThem)
{
    const StationRow& row = GetParam();
    ModuleCopy module(row.lookUps);
    ASSERT_TRUE(module.ready());
    FakeXk fake;
    ASSERT_TRUE(fake.loaded());
    if (row.call == kOtherModel)
        fake.SetDeviceIdText("MFG:Sim;MDL:KV-3100D;CMD:QVL;");
    else
        fake.SetStandardPrinter();
    HWINSTA interactive = GetProcessWindowStation();
    HWINSTA hidden = NULL;
    if (row.stationNobodySees) {
        hidden = CreateWindowStationA("QvNobodySees", 0, WINSTA_ALL_ACCESS, NULL);
        ASSERT_TRUE(hidden != NULL);
    }
    UiDriver driver(3000);
    bool dialogShown = false;
    driver.WhenWindow(kDialogCaption, [&](HWND dialog) {
        dialogShown = true;
        UiDriver::Click(dialog, IDCANCEL);
    });
    DebugOutputCapture capture;
    OptionInfo current = CallerRecord();
    OptionInfo result = Untouched();
    ASSERT_TRUE(hidden == NULL || SetProcessWindowStation(hidden));
    const int got = module.open()("Printer", kRow1, 0, &current, &result, row.call != kOtherModel,
                                  row.call != kDialogAlone);
    if (hidden != NULL) {
        SetProcessWindowStation(interactive);
        CloseWindowStation(hidden);
    }

    const bool answered = row.call == kDialogPrinterAnswers;
    const OptionInfo expected = answered ? PrinterAnswer(CallerRecord()) : Untouched();
    EXPECT_EQ(answered ? 1 : 0, got);
    EXPECT_TRUE(SameRecord(expected, result)) << "expected " << Describe(expected) << ", got " << Describe(result);
    EXPECT_EQ(row.windowShown, driver.boxes().size() + dialogShown == 1u);
    EXPECT_EQ(!row.windowShown, capture.Contains("window station is not interactive"));
}

INSTANTIATE_TEST_SUITE_P(Table, WindowStation, ::testing::ValuesIn(kStationRows),
                         [](const ::testing::TestParamInfo<StationRow>& p) { return std::string(p.param.name); });
// A dialog that cannot run at all (no template, no window, no memory at its
// start: DialogBoxParamA answers -1) shows and chooses nothing: 0 with the
// record untouched, unless the printer had answered: then its values come
// back with 1, as after Cancel.
INT_PTR WINAPI NoDialog(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM)
{
    return -1;
}

TEST(DialogThatCannotRun, HandsBackOnlyThePrintersAnswer)
{
    ASSERT_TRUE(ModuleExport() != NULL);
    ImportPatch patch(GetModuleHandleA("qvoptinf.dll"), "USER32.dll", "DialogBoxParamA", (void*)NoDialog);
    ASSERT_TRUE(patch.applied());
    FakeXk fake;
    ASSERT_TRUE(fake.loaded());
    fake.SetStandardPrinter();
    for (int queryPrinter = 0; queryPrinter <= 1; queryPrinter++) {
        OptionInfo current = CallerRecord();
        OptionInfo result = Untouched();
        const OptionInfo expected = queryPrinter ? PrinterAnswer(CallerRecord()) : Untouched();
        EXPECT_EQ(queryPrinter, ModuleExport()("Printer", kRow1, 0, &current, &result, 1, queryPrinter))
            << "queryPrinter " << queryPrinter;
        EXPECT_TRUE(SameRecord(expected, result))
            << "queryPrinter " << queryPrinter << ": expected " << Describe(expected) << ", got " << Describe(result);
    }
}

// The trace is written only when asked for, or while a debugger is attached.
// This program runs twice: with QVOPTINF_TRACE=1 in its environment, and once
// more (these tests alone) without it. No debugger is attached either time:
// the module's look-up of IsDebuggerPresent answers as each row says. Where
// the function is missing (Windows 95), no debugger is ever seen.
BOOL WINAPI DebuggerAttached()
{
    return TRUE;
}

struct TraceRow {
    const char* name;
    std::vector<LookUp> lookUps;
    bool debugger;
};

const TraceRow kTraceRows[] = {
    {"NoDebugger", {}, false},
    {"WithoutIsDebuggerPresent", {{"IsDebuggerPresent", NULL}}, false},
    {"UnderADebugger", {{"IsDebuggerPresent", (FARPROC)DebuggerAttached}}, true},
};

void PrintTo(const TraceRow& row, std::ostream* out)
{
    *out << row.name;
}

class Trace : public ::testing::TestWithParam<TraceRow> {};

TEST_P(Trace, OnlyWhenSwitchedOnOrUnderADebugger)
{
    ModuleCopy module(GetParam().lookUps);
    ASSERT_TRUE(module.ready());
    const char* variable = getenv("QVOPTINF_TRACE");
    const bool on = (variable != NULL && strcmp(variable, "1") == 0) || GetParam().debugger;
    DebugOutputCapture capture;
    OptionInfo result = Untouched();
    OptionInfo current = CallerRecord();
    EXPECT_EQ(1, module.open()("Printer", kRow1, 0, &current, &result, 0, 0));
    if (on)
        EXPECT_FALSE(capture.lines().empty()) << "the trace is asked for, yet there is none";
    else
        EXPECT_TRUE(capture.lines().empty()) << "the trace is not asked for, yet: " << capture.lines()[0];
}

INSTANTIATE_TEST_SUITE_P(Table, Trace, ::testing::ValuesIn(kTraceRows),
                         [](const ::testing::TestParamInfo<TraceRow>& p) { return std::string(p.param.name); });

// The module's life in a process, through qvprobe.dll: the module as it is
// linked, with an application object that tells each step of its life on
// standard error (tests/variants/lifetime_probe.cpp). Each row runs in a
// child process of its own, ended by exit(0), and what the probe told there
// is compared whole.
struct LifetimeRow {
    const char* name;
    void (*run)(const char* probe);
    const char* told;
};

// Loads the probe with variable set to 1, which must fail and leave nothing
// of it loaded, then once more without it, which must work.
void LoadFailsThenWorks(const char* probe, const char* variable)
{
    SetEnvironmentVariableA(variable, "1");
    if (LoadLibraryA(probe) != NULL || GetModuleHandleA(probe) != NULL)
        fprintf(stderr, "the load did not fail\n");
    SetEnvironmentVariableA(variable, NULL);
    if (LoadLibraryA(probe) == NULL)
        fprintf(stderr, "the next load failed\n");
}

const LifetimeRow kLifetimeRows[] = {
    // Unloaded by FreeLibrary: the application ends, the static destructors
    // run and the static objects are destroyed.
    {"FreeLibrary", [](const char* probe) { FreeLibrary(LoadLibraryA(probe)); },
     "probe: constructed\nprobe: InitInstance TRUE\nprobe: ExitInstance\nprobe: destructor list\n"
     "probe: destroyed\n"},
    // Still loaded when the process ends: none of that runs.
    {"ProcessExit", [](const char* probe) { LoadLibraryA(probe); },
     "probe: constructed\nprobe: InitInstance TRUE\n"},
    // InitInstance fails: the load fails, what attach did is undone in
    // reverse, once (the destructor list tells each time it runs), and the
    // module is gone; the next load works.
    {"AttachFails", [](const char* probe) { LoadFailsThenWorks(probe, "QV_PROBE_FAIL_ATTACH"); },
     "probe: constructed\nprobe: InitInstance FALSE\nprobe: ExitInstance\nprobe: destructor list\n"
     "probe: destroyed\nprobe: constructed\nprobe: InitInstance TRUE\n"},
    // More exit functions than the module has room for: the load fails
    // before the application starts, and what was registered runs (the
    // probe's own destructor found no room); the next load works.
    {"ExitFunctionsDoNotFit", [](const char* probe) { LoadFailsThenWorks(probe, "QV_PROBE_EXIT_FUNCTIONS"); },
     "probe: constructed\nprobe: destructor list\nprobe: constructed\nprobe: InitInstance TRUE\n"},
};

void PrintTo(const LifetimeRow& row, std::ostream* out)
{
    *out << row.name;
}

class Lifetime : public ::testing::TestWithParam<LifetimeRow> {};

TEST_P(Lifetime, AsTheProbeTells)
{
    const std::string probe = ExecutableFolder() + "probe\\qvprobe.dll";
    EXPECT_EXIT(
        {
            GetParam().run(probe.c_str());
            fflush(stderr);
            exit(0);
        },
        ::testing::ExitedWithCode(0), ::testing::Eq(std::string(GetParam().told)));
}

INSTANTIATE_TEST_SUITE_P(Table, Lifetime, ::testing::ValuesIn(kLifetimeRows),
                         [](const ::testing::TestParamInfo<LifetimeRow>& p) { return std::string(p.param.name); });

}  // namespace
