// qvprobe.dll: the module as it is linked (its entry point, runtime and
// library), with one more application object, constructed after the
// module's own and so standing in for it, that tells on standard error each
// step of its life: constructed, InitInstance (with its answer),
// ExitInstance, destroyed. Its InitInstance fails while the process's
// environment holds QV_PROBE_FAIL_ATTACH=1. host_process_test.cpp loads it in
// child processes and reads what it told.
#include "framework/afxwin.h"

namespace {

void Tell(LPCSTR step)
{
    char line[64];
    int length = wsprintfA(line, "probe: %s\n", step);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, (DWORD)length, &written, NULL);
}

class ProbeApp : public qv::CWinApp {
public:
    ProbeApp() { Tell("constructed"); }
    ~ProbeApp() override { Tell("destroyed"); }

    BOOL InitInstance() override
    {
        char value[4];
        const BOOL fail = GetEnvironmentVariableA("QV_PROBE_FAIL_ATTACH", value, sizeof value) == 1 &&
                          value[0] == '1';
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

}  // namespace
