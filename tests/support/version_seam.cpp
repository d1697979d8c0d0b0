#include "version_seam.h"

using namespace qv;

ReportedVersion ScopedVersion::s_version;

ScopedVersion::ScopedVersion(const ReportedVersion& version) : m_previousVersion(s_version)
{
    s_version = version;
    m_previousQuery = seams::GetVersionExA;
    seams::GetVersionExA = &ScopedVersion::Query;
}

ScopedVersion::~ScopedVersion()
{
    seams::GetVersionExA = m_previousQuery;
    s_version = m_previousVersion;
}

BOOL WINAPI ScopedVersion::Query(LPOSVERSIONINFOA info)
{
    if (s_version.fails || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                            info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA)))
        return FALSE;
    info->dwPlatformId = s_version.platform;
    info->dwMajorVersion = s_version.major;
    info->dwMinorVersion = s_version.minor;
    return TRUE;
}
