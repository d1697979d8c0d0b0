// The Windows version that the code's platform kind is computed from, given
// by the test instead of the system: while a ScopedVersion lives, this
// program's GetVersionExA (the import that CMisc calls through) reports the
// version it was made with.
#ifndef QV_TESTS_REPORTED_VERSION_H
#define QV_TESTS_REPORTED_VERSION_H

#include <windows.h>

#include "import_patch.h"

struct ReportedVersion {
    DWORD platform, major, minor;
    bool fails;   // the query fails, as GetVersionExA can
};

class ScopedVersion {
public:
    explicit ScopedVersion(const ReportedVersion& version);
    // Puts back the query and the version that were in place before.
    ~ScopedVersion();

    // Queries answered so far by any ScopedVersion.
    static int queries() { return s_queries; }

private:
    ScopedVersion(const ScopedVersion&);
    ScopedVersion& operator=(const ScopedVersion&);
    // Fails, as the platform does, unless the structure's size is set to
    // that of OSVERSIONINFOA or OSVERSIONINFOEXA.
    static BOOL WINAPI Query(LPOSVERSIONINFOA info);

    static ReportedVersion s_version;
    static int s_queries;
    ReportedVersion m_previousVersion;
    ImportPatch m_query;
};

#endif
