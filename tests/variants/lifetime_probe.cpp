// qvprobe.dll: the module as it is linked (its entry point, runtime and
// library), with one more application object, constructed after the
// module's own and so standing in for it, that tells on standard error each
// step of its life: constructed, InitInstance (with its answer),
// ExitInstance, destroyed; and a function on the linker's list of static
// destructors tells when that list runs. Its InitInstance fails while the
// process's environment holds QV_PROBE_FAIL_ATTACH=1; with
// QV_PROBE_EXIT_FUNCTIONS=1 its constructor registers more exit functions
// than the module has room for. host_process_test.cpp loads it in child
// processes and reads what it told.
#include <stdlib.h>

#include "framework/afxwin.h"

namespace {

bool Asked(LPCSTR variable)
{
    char value[4];
    return GetEnvironmentVariableA(variable, value, sizeof value) == 1 && value[0] == '1';
}

void Tell(LPCSTR step)
{
    char line[64];
    int length = wsprintfA(line, "probe: %s\n", step);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, (DWORD)length, &written, NULL);
}

void Nothing()
{
}

class ProbeApp : public qv::CWinApp {
public:
    ProbeApp()
    {
        Tell("constructed");
        if (Asked("QV_PROBE_EXIT_FUNCTIONS")) {
            for (int i = 0; i < 100; i++)
                atexit(Nothing);
        }
    }
    ~ProbeApp() override { Tell("destroyed"); }

    BOOL InitInstance() override
    {
        const BOOL fail = Asked("QV_PROBE_FAIL_ATTACH");
        Tell(fail ? "InitInstance FALSE" : "InitInstance TRUE");
        return !fail;
    }

    int ExitInstance() override
    {
        Tell("ExitInstance");
        return 0;
    }
};

ProbeApp probeApp;

__attribute__((destructor)) void TellDestructorList()
{
    Tell("destructor list");
}

}  // namespace
