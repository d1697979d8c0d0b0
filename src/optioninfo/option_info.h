// OptionInfo: the record in which a printer's option information travels
// between the caller, the printer query and the dialog. Its layout is the one
// of the public header: twelve 32-bit integers, 48 bytes.
#ifndef QV_OPTIONINFO_OPTION_INFO_H
#define QV_OPTIONINFO_OPTION_INFO_H

#include <windows.h>

namespace qv {

// Number of printer-ID elements.
const int kIdFieldCount = 6;

struct OptionInfo {
    INT32 idValid;
    UINT32 idCount;          // compared as unsigned; 6 or more acts as 6
    INT32 id[kIdFieldCount];
    INT32 memoryValid;
    INT32 memorySizeMB;
    INT32 paperSourceValid;
    INT32 paperSourceCount;

    OptionInfo() { Reset(); }

    // All twelve fields 0: every flag clear, idCount 0.
    void Reset();
    // Copies all twelve fields from source; a NULL source resets the record.
    OptionInfo& CopyFrom(const OptionInfo* source);
    // Copies all twelve fields into target, which must be writable.
    void CopyTo(OptionInfo* target) const;
};

static_assert(sizeof(OptionInfo) == 48, "OptionInfo is twelve 32-bit integers");

}  // namespace qv

#endif
