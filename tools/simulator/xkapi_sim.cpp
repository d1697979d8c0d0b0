// A simulated XKAPI.DLL: one printer whose model, ID, memory and lower tray,
// and whose behaviour (answering, refusing to start, the status channels it
// offers, a failing status read, slow calls), come from xkapi-sim.ini beside
// this DLL, or the file that XKAPI_SIM_INI names (built-in values when the
// file is absent). For trying qvoptinf.dll and its callers without a printer.
//
// The reply waiting on each offered status channel is the same:
//   CW:00<id0..id5>;CD:00ST010001<lower tray record><memory>;
// with each number as two hexadecimal digits, or "NA" where the printer
// reports it as not available.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bidi/xkapi.h"
#include "sim_settings.h"

namespace {

// The simulated printer's own failures; they only need to be negative.
const LONG kNoAnswer = -10;
const LONG kStatusFailed = -11;

struct Printer {
    SimSettings settings;
    char deviceId[512];
    char reply[128];
    int length;   // of reply
};

Printer g_printer;
bool g_loaded = false;
LONG g_openHandle = -1;
HMODULE g_self = NULL;

// One line on the host's standard error (and in the debug output, for hosts
// without a console).
void Report(const char* line)
{
    char text[512];
    _snprintf(text, sizeof text - 3, "%s", line);
    text[sizeof text - 3] = '\0';
    lstrcatA(text, "\r\n");
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written;
    if (error != NULL && error != INVALID_HANDLE_VALUE)
        WriteFile(error, text, lstrlenA(text), &written, NULL);
    OutputDebugStringA("XKAPI.DLL (simulated): ");
    OutputDebugStringA(text);
}

// The whole file into a heap block that the caller frees; NULL when it is
// absent. A file that cannot be read is reported and counts as absent; so is
// an absent one that was named.
char* ReadSettingsFile(const char* path, bool named, DWORD* size)
{
    char line[MAX_PATH + 80];
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (named || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)) {
            _snprintf(line, sizeof line - 1, "cannot read %s (error %lu); using the built-in printer", path, error);
            line[sizeof line - 1] = '\0';
            Report(line);
        }
        return NULL;
    }
    const DWORD kLargest = 1 << 20;
    *size = GetFileSize(file, NULL);
    char* text = *size <= kLargest ? (char*)malloc(*size + 1) : NULL;
    DWORD read = 0;
    if (text != NULL && !(ReadFile(file, text, *size, &read, NULL) && read == *size)) {
        free(text);
        text = NULL;
    }
    CloseHandle(file);
    if (text == NULL) {
        _snprintf(line, sizeof line - 1, "cannot read %s (over 1 MB?); using the built-in printer", path);
        line[sizeof line - 1] = '\0';
        Report(line);
    }
    return text;
}

// A number of the reply: two hexadecimal digits, or "NA".
char* AppendNumber(char* reply, int value)
{
    if (value == kNotAvailable)
        memcpy(reply, "NA", 2);
    else
        _snprintf(reply, 3, "%02X", value & 0xFF);
    return reply + 2;
}

// Reads the printer's description once per load of this DLL.
void Load()
{
    if (g_loaded)
        return;
    g_loaded = true;

    SimSettings& s = g_printer.settings;
    SetBuiltInSettings(s);
    // XKAPI_SIM_INI names another settings file: a program that must see the
    // built-in printer whatever the user's file says points it at that.
    char ini[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("XKAPI_SIM_INI", ini, MAX_PATH);
    bool named = n > 0 && n < MAX_PATH;
    if (!named) {
        n = GetModuleFileNameA(g_self, ini, MAX_PATH);
        char* slash = strrchr(ini, '\\');
        if (n == 0 || n >= MAX_PATH || slash == NULL || (slash - ini) + 14 >= MAX_PATH)
            ini[0] = '\0';
        else
            lstrcpyA(slash + 1, "xkapi-sim.ini");
    }
    DWORD size;
    char* text = ini[0] != '\0' ? ReadSettingsFile(ini, named, &size) : NULL;
    if (text != NULL) {
        ApplySettingsText(text, size, s, Report);
        free(text);
    }

    _snprintf(g_printer.deviceId, sizeof g_printer.deviceId - 1,
              "MFG:%s;MDL:%s;CMD:QPL;CLS:PRINTER;DES:%s (simulated);", s.manufacturer, s.model, s.model);

    // The lower tray's record: a fitted tray, one the printer reports as
    // not there ("NAVL"), or one whose fields read "NA".
    char* reply = g_printer.reply;
    memcpy(reply, "CW:00", 5);
    reply += 5;
    for (int i = 0; i < 6; i++)
        reply = AppendNumber(reply, s.id[i]);
    memcpy(reply, ";CD:00ST010001", 14);
    reply += 14;
    memcpy(reply, s.lowerTray == 1 ? "LT020001" : s.lowerTray == 0 ? "NAVLNANA" : "LT02NANA", 8);
    reply = AppendNumber(reply + 8, s.memoryMB);
    *reply++ = ';';
    g_printer.length = (int)(reply - g_printer.reply);
}

// Every call reads the description first and takes the configured time.
void Enter()
{
    Load();
    if (g_printer.settings.delayMs > 0)
        Sleep(g_printer.settings.delayMs);
}

// The library's two-call convention: the size needed, and -4 without a
// buffer or with one too small; otherwise the data and success.
LONG Fill(const void* data, LONG length, BYTE* buffer, LONG* size, LONG success)
{
    if (size == NULL)
        return -1;
    LONG capacity = *size;
    *size = length;
    if (length > 0 && (buffer == NULL || capacity < length))
        return kXkBufferTooSmall;
    if (length > 0)
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
    Enter();
    return g_printer.settings.refusesToStart ? kXkRefused : 0;
}

LONG WINAPI XKRelease(void)
{
    Enter();
    return 0;
}

LONG WINAPI XKGetDeviceID(LONG, LPCSTR, BYTE* buffer, LONG* size)
{
    Enter();
    if (!g_printer.settings.answers)
        return kNoAnswer;
    return Fill(g_printer.deviceId, lstrlenA(g_printer.deviceId) + 1, buffer, size, 0);
}

// The table of the offered status channels, 8 bytes each: the key, then
// flags with bit 0 set (the channel can be opened).
LONG WINAPI XKGetAvailableChannel(LONG, LPCSTR, BYTE* buffer, LONG* size)
{
    Enter();
    if (!g_printer.settings.answers)
        return kNoAnswer;
    ChannelEntry table[2];
    int count = 0;
    if (g_printer.settings.offersPreferred)
        table[count++] = ChannelEntry{kPreferredStatusChannel, 1, 0};
    if (g_printer.settings.offersBasic)
        table[count++] = ChannelEntry{kBasicStatusChannel, 1, 0};
    return Fill(table, (LONG)(sizeof(ChannelEntry) * count), buffer, size, count);
}

LONG WINAPI XKOpenChannel(LONG, LPCSTR, DWORD key)
{
    Enter();
    if (!g_printer.settings.answers)
        return kNoAnswer;
    if (!(key == kPreferredStatusChannel && g_printer.settings.offersPreferred) &&
        !(key == kBasicStatusChannel && g_printer.settings.offersBasic))
        return kXkUnknownKey;
    g_openHandle = key == kPreferredStatusChannel ? 1 : 2;
    return g_openHandle;
}

LONG WINAPI XKCloseChannel(LONG handle)
{
    Enter();
    if (handle != g_openHandle)
        return kXkBadHandle;
    g_openHandle = -1;
    return 0;
}

LONG WINAPI XKGetStatus(LONG handle, BYTE* buffer, LONG* size)
{
    Enter();
    if (handle != g_openHandle || handle < 0)
        return kXkBadHandle;
    if (!g_printer.settings.answers)
        return kNoAnswer;
    if (g_printer.settings.statusFails)
        return kStatusFailed;
    return Fill(g_printer.reply, g_printer.length, buffer, size, 0);
}

// Part of the library's interface; the simulated printer has nothing to say.
LONG WINAPI XKSend(void) { Enter(); return -1; }
LONG WINAPI XKReceive(void) { Enter(); return -1; }
LONG WINAPI XKReceiveCancel(void) { Enter(); return 0; }
LONG WINAPI XKSetOption(void) { Enter(); return 0; }
LONG WINAPI XKGetOption(void) { Enter(); return -1; }

}  // extern "C"
