#include "option_record.h"

#include <stdio.h>
#include <string.h>

bool SameRecord(const OptionInfo& a, const OptionInfo& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

std::string Describe(const OptionInfo& r)
{
    char text[200];
    snprintf(text, sizeof text, "{%ld,%lu,[%ld %ld %ld %ld %ld %ld],%ld,%ld,%ld,%ld}", (long)r.idValid,
             (unsigned long)r.idCount, (long)r.id[0], (long)r.id[1], (long)r.id[2], (long)r.id[3],
             (long)r.id[4], (long)r.id[5], (long)r.memoryValid, (long)r.memorySizeMB,
             (long)r.paperSourceValid, (long)r.paperSourceCount);
    return text;
}

OptionInfo MakeInfo(INT32 idValid, UINT32 idCount, const std::vector<INT32>& ids, INT32 memoryValid,
                    INT32 memorySizeMB, INT32 paperSourceValid, INT32 paperSourceCount)
{
    OptionInfo info;
    info.idValid = idValid;
    info.idCount = idCount;
    for (size_t k = 0; k < 6; k++)
        info.id[k] = k < ids.size() ? ids[k] : 0;
    info.memoryValid = memoryValid;
    info.memorySizeMB = memorySizeMB;
    info.paperSourceValid = paperSourceValid;
    info.paperSourceCount = paperSourceCount;
    return info;
}

OptionInfo CallerRecord()
{
    OptionInfo info;
    INT32* f = reinterpret_cast<INT32*>(&info);
    for (int i = 0; i < 12; i++)
        f[i] = 100 + i;
    return info;
}

OptionInfo Untouched()
{
    OptionInfo info;
    memset(&info, 0xA5, sizeof info);
    return info;
}

OptionInfo PrinterAnswer(OptionInfo info)
{
    const INT32 ids[6] = {30, 42, 48, 56, 64, 70};
    info.idValid = 1;
    info.idCount = 6;
    memcpy(info.id, ids, sizeof ids);
    info.memoryValid = 1;
    info.memorySizeMB = 64;
    info.paperSourceValid = 1;
    info.paperSourceCount = 1;
    return info;
}
