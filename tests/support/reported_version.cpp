#include "reported_version.h"

#include <gtest/gtest.h>

ReportedVersion ScopedVersion::s_version;
int ScopedVersion::s_queries = 0;

ScopedVersion::ScopedVersion(const ReportedVersion& version)
    : m_previousVersion(s_version), m_query("KERNEL32.dll", "GetVersionExA", (void*)&ScopedVersion::Query)
{
    s_version = version;
    if (!m_query.applied())
        ADD_FAILURE() << "this program does not import GetVersionExA: no version can be reported";
}

ScopedVersion::~ScopedVersion()
{
    s_version = m_previousVersion;
}

BOOL WINAPI ScopedVersion::Query(LPOSVERSIONINFOA info)
{
    s_queries++;
    if (s_version.fails || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                            info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA)))
        return FALSE;
    info->dwPlatformId = s_version.platform;
    info->dwMajorVersion = s_version.major;
    info->dwMinorVersion = s_version.minor;
    return TRUE;
}
