// The Windows version that the module's platform kind is computed from,
// given by the test instead of the system. CMisc asks for the version
// through a seam; while a ScopedVersion lives, the seam reports the version
// it was made with.
#ifndef QV_TESTS_VERSION_SEAM_H
#define QV_TESTS_VERSION_SEAM_H

#include <windows.h>

#include "seams/seams.h"

struct ReportedVersion {
    DWORD platform, major, minor;
    bool fails;   // the query fails, as GetVersionExA can
};

class ScopedVersion {
public:
    explicit ScopedVersion(const ReportedVersion& version);
    // Puts back the query and the version that were in place before.
    ~ScopedVersion();

private:
    ScopedVersion(const ScopedVersion&);
    ScopedVersion& operator=(const ScopedVersion&);
    // Fails, as the platform does, unless the structure's size is set to
    // that of OSVERSIONINFOA or OSVERSIONINFOEXA.
    static BOOL WINAPI Query(LPOSVERSIONINFOA info);

    static ReportedVersion s_version;
    ReportedVersion m_previousVersion;
    decltype(qv::seams::GetVersionExA) m_previousQuery;
};

#endif
