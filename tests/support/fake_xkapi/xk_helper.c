/* XKHELPER.DLL: a helper of the fake XKAPI.DLL's helper variant, which
 * imports it as vendor libraries import helpers of their own. It holds the
 * printer that the variant reports: without it the variant cannot load. */
#include <windows.h>

__declspec(dllexport) const char *XkHelper_DeviceId(void)
{
    return "MFG:Sim;MDL:Marlow Wide 900;CMD:X;";
}

__declspec(dllexport) const char *XkHelper_Reply(void)
{
    return "CW:001E2A30384046;CD:00ST010001LT02000140;";
}
