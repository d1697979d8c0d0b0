// Placeholder until the raw print layer lands: nothing is sent.
#include "settings_sheet.h"

int SendSettingsSheet(LPCSTR) { return 0; }
