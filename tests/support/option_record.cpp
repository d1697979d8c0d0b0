#include "option_record.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

bool SameRecordBytes(const void* a, const void* b)
{
    return memcmp(a, b, kOptionRecordBytes) == 0;
}

std::string DescribeRecordBytes(const void* record)
{
    INT32 f[12];
    memcpy(f, record, sizeof f);
    char text[200];
    snprintf(text, sizeof text, "{%ld,%lu,[%ld %ld %ld %ld %ld %ld],%ld,%ld,%ld,%ld}", (long)f[0],
             (unsigned long)(UINT32)f[1], (long)f[2], (long)f[3], (long)f[4], (long)f[5], (long)f[6],
             (long)f[7], (long)f[8], (long)f[9], (long)f[10], (long)f[11]);
    return text;
}
