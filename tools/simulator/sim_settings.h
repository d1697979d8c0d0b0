// What the simulated printer is and how it behaves, as read from
// xkapi-sim.ini beside the simulated XKAPI.DLL.
//
// Plain buffers only: the DLL is loaded and unloaded at every call of the
// module, and the C++ library's runtime, linked in statically, would leave a
// handle and some heap behind at each unload.
#ifndef QV_SIM_SETTINGS_H
#define QV_SIM_SETTINGS_H

#include <stddef.h>

// A field that the printer reports as not available ("NA" in the reply).
const int kNotAvailable = -1;

struct SimSettings {
    // [printer]
    char model[64];
    char manufacturer[64];
    int id[6];          // 0 to 255, or kNotAvailable
    int memoryMB;       // 0 to 255, or kNotAvailable
    int lowerTray;      // 1 fitted, 0 not fitted, or kNotAvailable

    // [behaviour]
    bool answers;           // no: the device ID cannot be read
    bool refusesToStart;    // XKInitialize answers with the refusal code
    bool offersPreferred;   // status channel kPreferredStatusChannel in the table
    bool offersBasic;       // status channel kBasicStatusChannel in the table
    bool statusFails;       // XKGetStatus fails
    int delayMs;            // every library call takes this long
};

// The built-in printer: the values that the file's keys override.
void SetBuiltInSettings(SimSettings& settings);

// Applies the lines of an xkapi-sim.ini text to settings. Every line that
// cannot be used (a bad value, an unknown key or section, a line that is not
// key=value) is reported through report with one line of text naming the key
// and the value, and changes nothing; the other lines still apply.
void ApplySettingsText(const char* text, size_t length, SimSettings& settings,
                       void (*report)(const char* line));

#endif
