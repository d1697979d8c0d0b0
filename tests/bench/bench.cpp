// qvbench: how fast QVOpenPrinterInf answers through the fake XKAPI.DLL,
// against the floor: the same library calls made directly, in the same
// order, with nothing else.
//
//   qvbench [--calls N] [--rounds R]
//
// Each figure of the table is the median of N x R single calls (defaults
// 2000 and 5), the calls of the module, of the floors and of the search taken
// in turn, one of each at a time. The breakdown below it times each step in
// runs of N calls, median of three.
//
// The floor, per call: LoadLibraryExA of the library by its full path,
// XKInitialize, XKGetDeviceID (size, then read), a second LoadLibraryExA and
// XKInitialize nested inside the first, XKGetAvailableChannel (size, then
// read), XKOpenChannel, XKGetStatus (size, then read), XKCloseChannel, then
// XKRelease and FreeLibrary twice, all between a SetCursor of the wait
// cursor and one that puts the old cursor back. These are the library calls
// the query path makes, and the program checks against the fake's call log
// that both make them in this order. The two SetCursor calls are the least
// that showing the wait cursor costs (under Wine each is a round trip to its
// server, several times the rest of the floor). The wait cursor is one of the
// module's own choices, held in the floor so that the ratio measures the
// rest: the entry points are resolved once, before the timing, and the
// buffers are fixed arrays, so that resolving entry points at every call,
// searching for the library's path and allocating its buffers count as the
// module's overhead; the breakdown below the table times each of them alone.
//
// The fake stays loaded for the whole run (the benchmark holds it to script
// it), so every LoadLibraryExA and FreeLibrary, in the module and in the
// floor alike, only counts references.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bidi/bidi_channel.h"
#include "bidi/bidi_link.h"
#include "bidi/library_path.h"
#include "bidi/option_query.h"
#include "fake_xk.h"
#include "module_under_test.h"
#include "optioninfo/reply_parser.h"
#include "util/misc.h"
#include "util/trace.h"

using namespace qv;

namespace {

const char kPrinter[] = "Bench Printer";
const char kModel[] = "Marlow Wide 900";

template <typename Fn>
Fn Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

// The library's entry points, resolved once.
struct Library {
    std::string path;
    PFN_XKInitialize initialize;
    PFN_XKRelease release;
    PFN_XKGetDeviceID getDeviceId;
    PFN_XKGetAvailableChannel getAvailableChannel;
    PFN_XKOpenChannel openChannel;
    PFN_XKGetStatus getStatus;
    PFN_XKCloseChannel closeChannel;

    bool Resolve(HMODULE module, const std::string& fullPath)
    {
        path = fullPath;
        initialize = Entry<PFN_XKInitialize>(module, "XKInitialize");
        release = Entry<PFN_XKRelease>(module, "XKRelease");
        getDeviceId = Entry<PFN_XKGetDeviceID>(module, "XKGetDeviceID");
        getAvailableChannel = Entry<PFN_XKGetAvailableChannel>(module, "XKGetAvailableChannel");
        openChannel = Entry<PFN_XKOpenChannel>(module, "XKOpenChannel");
        getStatus = Entry<PFN_XKGetStatus>(module, "XKGetStatus");
        closeChannel = Entry<PFN_XKCloseChannel>(module, "XKCloseChannel");
        return initialize && release && getDeviceId && getAvailableChannel && openChannel &&
               getStatus && closeChannel;
    }
};

// One query made directly: the floor. Returns false when a call failed.
bool FloorCall(const Library& lib)
{
    static BYTE buffer[1024];
    static const HCURSOR wait = LoadCursorA(NULL, IDC_WAIT);
    bool ok = true;
    const DWORD flags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    const HCURSOR old = SetCursor(wait);
    HMODULE outer = LoadLibraryExA(lib.path.c_str(), NULL, flags);
    lib.initialize();
    LONG size = 0;
    lib.getDeviceId(1, kPrinter, NULL, &size);
    ok &= lib.getDeviceId(1, kPrinter, buffer, &size) >= 0;

    HMODULE inner = LoadLibraryExA(lib.path.c_str(), NULL, flags);
    lib.initialize();
    size = 0;
    lib.getAvailableChannel(1, kPrinter, NULL, &size);
    ok &= lib.getAvailableChannel(1, kPrinter, buffer, &size) >= 0;
    LONG handle = lib.openChannel(1, kPrinter, kPreferredStatusChannel);
    size = 0;
    lib.getStatus(handle, NULL, &size);
    ok &= lib.getStatus(handle, buffer, &size) >= 0;
    ok &= lib.closeChannel(handle) >= 0;
    lib.release();
    FreeLibrary(inner);

    lib.release();
    FreeLibrary(outer);
    SetCursor(old);
    return ok && outer != NULL && inner != NULL;
}

// The fake's call list with channel handles left out: each call opens a
// channel with a handle of its own.
std::vector<std::string> WithoutHandles(std::vector<std::string> calls)
{
    for (std::string& call : calls) {
        if (call.compare(0, 11, "XKGetStatus") == 0 || call.compare(0, 14, "XKCloseChannel") == 0)
            call = call.substr(0, call.find(' '));
    }
    return calls;
}

double Seconds(const LARGE_INTEGER& a, const LARGE_INTEGER& b)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(b.QuadPart - a.QuadPart) / frequency.QuadPart;
}

// Seconds for n runs of body.
double Time(long n, const std::function<void()>& body)
{
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (long i = 0; i < n; i++)
        body();
    QueryPerformanceCounter(&b);
    return Seconds(a, b);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds for one run of body: the median of three rounds of n.
double PerCall(long n, const std::function<void()>& body)
{
    return Median({Time(n, body), Time(n, body), Time(n, body)}) / n;
}

struct Options {
    long calls = 2000;
    int rounds = 5;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--calls")
            options.calls = atol(argv[i + 1]);
        else if (arg == "--rounds")
            options.rounds = atoi(argv[i + 1]);
        else
            return false;
    }
    return argc % 2 == 1 && options.calls > 0 && options.rounds > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr, "usage: qvbench [--calls N] [--rounds R]\n");
        return 2;
    }
    const std::string folder = FakeXk::ExeFolder();
    ModuleUnderTest module;
    const PFN_QVOpenPrinterInf open = module.open();
    FakeXk fake;
    Library lib;
    if (open == NULL || !fake.loaded() || !lib.Resolve(fake.module(), fake.path())) {
        printf("qvoptinf.dll or the fake XKAPI.DLL did not load from %s\n", folder.c_str());
        return 2;
    }
    fake.SetStandardPrinter();

    // The module answers, and the floor makes the very calls the module
    // makes, in its order.
    ::OptionInfo result;   // the caller's record; the parser and the query take the module's
    memset(&result, 0, sizeof result);
    if (open(kPrinter, kModel, 0, NULL, &result, 0, 1) != 1 || result.id[0] != 30 ||
        result.memorySizeMB != 64) {
        printf("the module did not answer with the printer's values\n");
        return 1;
    }
    const std::vector<std::string> moduleCalls = WithoutHandles(fake.Calls());
    FloorCall(lib);
    const std::vector<std::string> allCalls = WithoutHandles(fake.Calls());
    const std::vector<std::string> floorCalls(allCalls.begin() + moduleCalls.size(), allCalls.end());
    if (floorCalls != moduleCalls || moduleCalls.size() != 12) {
        printf("the floor's library calls differ from the module's:\n");
        for (size_t i = 0; i < std::max(moduleCalls.size(), floorCalls.size()); i++)
            printf("  %-32s %s\n", i < moduleCalls.size() ? moduleCalls[i].c_str() : "-",
                   i < floorCalls.size() ? floorCalls[i].c_str() : "-");
        return 1;
    }
    // From here on the fake formats no log lines: neither side pays for them.
    fake.SetLogging(false);
    if (fake.InitDepth() != 0 || fake.OpenChannels() != 0) {
        printf("the library was left initialised or a channel open\n");
        return 1;
    }

    const long n = options.calls;
    int failures = 0;
    ::OptionInfo current;
    memset(&current, 0, sizeof current);
    auto moduleQuery = [&]() { failures += open(kPrinter, kModel, 0, NULL, &result, 0, 1) != 1; };
    auto floorQuery = [&]() { failures += !FloorCall(lib); };
    // The flow itself asks for one search of the library's path (the check
    // that it exists), which is no call of the library. The second floor
    // adds the platform's own search for it, SearchPathA with its default
    // order: the module's search (its own order, PATH filtered) is part of
    // the module's overhead, measured against that.
    char path[MAX_PATH];
    auto platformSearch = [&]() {
        failures += SearchPathA(NULL, "XKAPI.DLL", NULL, MAX_PATH, path, NULL) == 0;
    };
    auto floorWithSearch = [&]() {
        platformSearch();
        failures += !FloorCall(lib);
    };
    auto neither = [&]() { failures += open(kPrinter, kModel, 0, &current, &result, 0, 0) != 1; };

    // Warm-up, then the paths' calls one by one in turn, each timed alone:
    // a neighbour's load and the machine's drift fall on all of them alike,
    // and a call that was preempted is an outlier that the median leaves out.
    Time(n / 10 + 1, moduleQuery);
    Time(n / 10 + 1, floorQuery);
    std::vector<double> moduleCalls_, floorCalls_, floorSearchCalls, neitherCalls, searchCalls;
    for (long i = 0; i < n * options.rounds; i++) {
        moduleCalls_.push_back(Time(1, moduleQuery));
        floorCalls_.push_back(Time(1, floorQuery));
        floorSearchCalls.push_back(Time(1, floorWithSearch));
        neitherCalls.push_back(Time(1, neither));
        searchCalls.push_back(Time(1, platformSearch));
    }
    if (failures != 0) {
        printf("%d calls failed during the timing\n", failures);
        return 1;
    }
    const double moduleSeconds = Median(moduleCalls_);
    const double floorSeconds = Median(floorCalls_);
    const double floorSearchSeconds = Median(floorSearchCalls);
    const double neitherSeconds = Median(neitherCalls);
    const double searchSeconds = Median(searchCalls);

    // The parser alone, on the typical reply.
    const long parses = n * 50;
    qv::OptionInfo info;
    volatile long sink = 0;
    std::vector<double> parseRounds;
    for (int r = 0; r < options.rounds; r++) {
        parseRounds.push_back(Time(parses, [&]() {
            memset(&info, 0, sizeof info);
            info.idValid = 1;
            info.idCount = kIdFieldCount;
            info.memoryValid = 1;
            info.paperSourceValid = 1;
            sink = sink + ParseOptionReply(reinterpret_cast<const BYTE*>(kStandardReply.data()),
                                           (DWORD)kStandardReply.size(), &info);
        }));
    }
    const double parseSeconds = Median(parseRounds) / parses;

    printf("qvbench: median of %ld single calls each, taken in turn; fake XKAPI.DLL, no call log\n\n",
           n * options.rounds);
    printf("%-46s %12s %12s\n", "", "calls/s", "us/call");
    auto rate = [](const char* what, double seconds) {
        printf("%-46s %12.0f %12.1f\n", what, 1 / seconds, seconds * 1e6);
    };
    auto ratio = [](const char* what, double value) { printf("%-46s %12.2f\n", what, value); };
    rate("QVOpenPrinterInf, query path", moduleSeconds);
    rate("floor: the same library calls, direct", floorSeconds);
    ratio("ratio (module / floor)", moduleSeconds / floorSeconds);
    rate("floor and one SearchPathA(NULL, XKAPI.DLL)", floorSearchSeconds);
    ratio("ratio (module / floor and search; goal 1.05)", moduleSeconds / floorSearchSeconds);
    rate("QVOpenPrinterInf, both switches clear", neitherSeconds);
    rate("one SearchPathA(NULL, XKAPI.DLL)", searchSeconds);
    ratio("ratio (both clear / one search; goal 2 or less)", neitherSeconds / searchSeconds);
    printf("%-46s %12s %12.0f ns\n", "ParseOptionReply, typical reply", "", parseSeconds * 1e9);

    // Where the module's time goes: the steps of the query path, each run
    // alone from the same code linked into this program, times how often
    // one call runs it; and inside them, the pieces that are no library call.
    HMODULE fakeModule = fake.module();
    const double search = PerCall(n, [&]() { FindBidiLibrary(path); });
    const double firstLink = PerCall(n, [&]() {
        BidiLink link(lib.path.c_str());
        CString deviceId;
        sink = sink + link.ReadDeviceID(kPrinter, deviceId);
    });
    // As in a call: the second link takes the entry points the first one
    // looked up.
    BidiEntryPoints resolved;
    resolved.Resolve(fakeModule);
    const double query = PerCall(n, [&]() {
        qv::OptionInfo scratch;
        memset(&scratch, 0, sizeof scratch);
        scratch.idValid = scratch.memoryValid = scratch.paperSourceValid = 1;
        scratch.idCount = kIdFieldCount;
        sink = sink + QueryOptionInfo(lib.path.c_str(), kPrinter, &scratch, &resolved);
    });
    const double trace = PerCall(n, [&]() { Trace("option query: result %d", 1); });
    const double resolve = PerCall(n, [&]() {
        BidiEntryPoints entries;
        entries.Resolve(fakeModule);
        sink = sink + entries.channelReason;
    });
    const double version = PerCall(n, [&]() {
        CMisc misc;
        PlatformKind kind;
        sink = sink + misc.GetPlatformKind(&kind);
    });
    // The parser compared each two- and four-character field with "NA" or
    // "NAVL" through lstrcmpiA: ten compares on the typical reply, shown for
    // what they cost (it now compares the ASCII fields itself).
    const double compare = PerCall(n * 10, [&]() { sink = sink + lstrcmpiA("1E", "NA"); });
    struct Piece {
        const char* what;
        int times;
        double seconds;
    };
    const Piece steps[] = {
        {"entry's search of the library's path", 1, search},
        {"first link: load, initialise, device ID", 1, firstLink},
        {"option query: second link, channel, parse", 1, query},
        {"trace lines (off unless asked for)", 5, trace},
    };
    const Piece pieces[] = {
        {"search of the library's path", 1, search},
        {"12 entry points resolved, once per call", 1, resolve},
        {"platform kind (GetVersionExA)", 1, version},
        {"reply parse", 1, parseSeconds},
        {"(ten lstrcmpiA, as the parser had them)", 10, compare},
    };
    printf("\nwhere one call's time goes (each step run alone):\n");
    printf("  %-44s %6s %12s\n", "", "times", "us/call");
    double sum = 0;
    for (const Piece& p : steps) {
        printf("  %-44s %6d %12.1f\n", p.what, p.times, p.times * p.seconds * 1e6);
        sum += p.times * p.seconds;
    }
    printf("  %-44s %6s %12.1f\n", "sum of the steps", "", sum * 1e6);
    printf("  %-44s %6s %12.1f\n", "QVOpenPrinterInf, query path", "", moduleSeconds * 1e6);
    printf("  %-44s %6s %12.1f\n", "floor", "", floorSeconds * 1e6);
    printf("inside those steps, no library calls:\n");
    for (const Piece& p : pieces)
        printf("  %-44s %6d %12.1f\n", p.what, p.times, p.times * p.seconds * 1e6);
    return 0;
}
