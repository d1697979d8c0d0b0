#include "afxmodule.h"

namespace qv {

namespace {

HINSTANCE g_resourceHandle = NULL;

}  // namespace

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle != NULL ? g_resourceHandle : GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE module)
{
    g_resourceHandle = module;
}

}  // namespace qv
