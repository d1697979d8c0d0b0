// A simulated XKAPI.DLL: answers as one printer whose model, ID, memory and
// lower tray come from xkapi-sim.ini beside this DLL (built-in values when
// the file is absent). For trying qvoptinf.dll without a printer.
//
// It offers both status channels (0x10010003 and 0x10000003) and answers on
// either with the same reply:
//   CW:00<id0..id5 as 2 hex digits each>;CD:00<record 1><record 2><memory>;
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const LONG kTooSmall = -4;
const LONG kBadHandle = -7;
const LONG kUnknownKey = -6;
const DWORD kKeys[2] = {0x10010003, 0x10000003};

struct Printer {
    char deviceId[512];
    char reply[128];
    int length;   // of reply
};

Printer g_printer;
bool g_loaded = false;
LONG g_openHandle = -1;
HMODULE g_self = NULL;

// Reads the printer's description once.
void Load()
{
    if (g_loaded)
        return;
    g_loaded = true;

    char ini[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_self, ini, MAX_PATH);
    char* slash = strrchr(ini, '\\');
    if (n == 0 || slash == NULL || (slash - ini) + 14 >= MAX_PATH)
        ini[0] = '\0';
    else
        lstrcpyA(slash + 1, "xkapi-sim.ini");

    char manufacturer[128], model[128], id[128];
    GetPrivateProfileStringA("printer", "manufacturer", "Simulated", manufacturer, sizeof manufacturer, ini);
    GetPrivateProfileStringA("printer", "model", "Marlow Wide 900", model, sizeof model, ini);
    GetPrivateProfileStringA("printer", "id", "30,42,48,56,64,70", id, sizeof id, ini);
    UINT memory = GetPrivateProfileIntA("printer", "memory", 64, ini);
    UINT tray = GetPrivateProfileIntA("printer", "lowertray", 1, ini);

    _snprintf(g_printer.deviceId, sizeof g_printer.deviceId - 1,
              "MFG:%s;MDL:%s;CMD:QPL;CLS:PRINTER;DES:%s (simulated);", manufacturer, model, model);

    unsigned values[6] = {0, 0, 0, 0, 0, 0};
    sscanf(id, "%u ,%u ,%u ,%u ,%u ,%u", &values[0], &values[1], &values[2], &values[3], &values[4],
           &values[5]);
    g_printer.length = _snprintf(g_printer.reply, sizeof g_printer.reply - 1,
                                 "CW:00%02X%02X%02X%02X%02X%02X;CD:00ST010001%s%02X;",
                                 values[0] & 0xFF, values[1] & 0xFF, values[2] & 0xFF,
                                 values[3] & 0xFF, values[4] & 0xFF, values[5] & 0xFF,
                                 tray ? "LT020001" : "NAVLNANA", memory & 0xFF);
}

// The library's two-call convention: the size needed and -4 without a
// buffer or with one too small; otherwise the data and success.
LONG Fill(const void* data, LONG length, BYTE* buffer, LONG* size, LONG success)
{
    if (size == NULL)
        return -1;
    LONG capacity = *size;
    *size = length;
    if (buffer == NULL || capacity < length)
        return kTooSmall;
    memcpy(buffer, data, length);
    return success;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_self = module;
    return TRUE;
}

extern "C" {

LONG WINAPI XKInitialize(void)
{
    Load();
    return 0;
}

LONG WINAPI XKRelease(void)
{
    return 0;
}

LONG WINAPI XKGetDeviceID(LONG, LPCSTR, BYTE* buffer, LONG* size)
{
    Load();
    return Fill(g_printer.deviceId, lstrlenA(g_printer.deviceId) + 1, buffer, size, 0);
}

LONG WINAPI XKGetAvailableChannel(LONG, LPCSTR, BYTE* buffer, LONG* size)
{
    BYTE table[16] = {};
    for (int i = 0; i < 2; i++) {
        memcpy(table + 8 * i, &kKeys[i], 4);
        table[8 * i + 4] = 1;   // can be opened
    }
    return Fill(table, sizeof table, buffer, size, 2);
}

LONG WINAPI XKOpenChannel(LONG, LPCSTR, DWORD key)
{
    if (key != kKeys[0] && key != kKeys[1])
        return kUnknownKey;
    g_openHandle = key == kKeys[0] ? 1 : 2;
    return g_openHandle;
}

LONG WINAPI XKCloseChannel(LONG handle)
{
    if (handle != g_openHandle)
        return kBadHandle;
    g_openHandle = -1;
    return 0;
}

LONG WINAPI XKGetStatus(LONG handle, BYTE* buffer, LONG* size)
{
    if (handle != g_openHandle || handle < 0)
        return kBadHandle;
    Load();
    return Fill(g_printer.reply, g_printer.length, buffer, size, 0);
}

// Part of the library's interface; the simulated printer has nothing to say.
LONG WINAPI XKSend(void) { return -1; }
LONG WINAPI XKReceive(void) { return -1; }
LONG WINAPI XKReceiveCancel(void) { return 0; }
LONG WINAPI XKSetOption(void) { return 0; }
LONG WINAPI XKGetOption(void) { return -1; }

}  // extern "C"
