// The Windows version that the module's platform kind is computed from,
// given by the test instead of the system. CMisc asks for the version
// through a replaceable query; while a ScopedVersion lives, that query
// reports the version it was made with.
#ifndef QV_TESTS_VERSION_SEAM_H
#define QV_TESTS_VERSION_SEAM_H

#include <windows.h>

#include "util/misc.h"

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
    qv::CMisc::VersionQuery m_previousQuery;
};

#endif
