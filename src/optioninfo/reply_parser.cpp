#include "reply_parser.h"
#include "../util/misc.h"

#include <string.h>

namespace qv {

namespace {

const BYTE kIdTag[] = {'C', 'W', ':'};
const BYTE kDeviceTag[] = {'C', 'D', ':'};
const DWORD kTagLength = 3;
const DWORD kFieldStart = 5;     // after the tag and two bytes that are not read
const DWORD kRecordWidth = 8;

// The reply with its bounds: every field read is checked against the end.
struct Reply {
    const BYTE* data;
    DWORD length;

    // Offset of tag's first occurrence, or -1.
    long Find(const BYTE* tag) const
    {
        CMisc misc;
        const BYTE* found = NULL;
        if (data == NULL || !misc.FindTag(data, length, tag, kTagLength, &found))
            return -1;
        return static_cast<long>(found - data);
    }

    // The field of width bytes at offset as a text, ended early by a NUL.
    // A field that does not lie wholly inside the reply reads as empty.
    void Field(DWORD offset, DWORD width, char* text) const
    {
        text[0] = '\0';
        if (offset > length || width > length - offset)
            return;
        DWORD n = 0;
        while (n < width && data[offset + n] != 0) {
            text[n] = static_cast<char>(data[offset + n]);
            n++;
        }
        text[n] = '\0';
    }
};

// Whether a field reads marker (upper-case ASCII) in any letter case. The
// fields are ASCII and of the marker's own length, where the locale's rules
// that lstrcmpiA would apply make no difference; this costs a fraction of it.
bool Reads(const char* field, const char* marker)
{
    for (; *marker != '\0'; field++, marker++) {
        char c = *field;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != *marker)
            return false;
    }
    return *field == '\0';
}

// A two-character number field: "NA" (any case) and anything that is not
// hexadecimal give 0.
INT32 NumberField(const Reply& reply, DWORD offset)
{
    char text[3];
    reply.Field(offset, 2, text);
    if (Reads(text, "NA"))
        return 0;
    CMisc misc;
    LONG value = 0;
    if (!misc.HexStringToLong(text, &value))
        return 0;
    return value;
}

// A paper-source record is unavailable when its four-character field is
// "NAVL" or one of its two-character fields is "NA" (any case). A record cut
// off by the end of the reply counts as unavailable.
bool RecordAvailable(const Reply& reply, DWORD offset)
{
    if (offset > reply.length || kRecordWidth > reply.length - offset)
        return false;
    char state[5], first[3], second[3];
    reply.Field(offset, 4, state);
    reply.Field(offset + 4, 2, first);
    reply.Field(offset + 6, 2, second);
    return !Reads(state, "NAVL") && !Reads(first, "NA") && !Reads(second, "NA");
}

}  // namespace

int ParseOptionReply(const BYTE* data, DWORD length, OptionInfo* info)
{
    const Reply reply = {data, length};
    int result = 1;

    if (info->idValid) {
        long tag = reply.Find(kIdTag);
        if (tag < 0) {
            result = 0;
        } else {
            for (int i = 0; i < kIdFieldCount; i++)
                info->id[i] = NumberField(reply, tag + kFieldStart + 2 * i);
        }
    }

    if (info->memoryValid) {
        long tag = reply.Find(kDeviceTag);
        if (tag < 0)
            result = 0;
        else
            info->memorySizeMB =
                NumberField(reply, tag + kFieldStart + kRecordWidth * kPaperSourceRecordCount);
    }

    if (info->paperSourceValid) {
        long tag = reply.Find(kDeviceTag);
        if (tag < 0) {
            result = 0;
        } else {
            // Record 1, the standard source, is always there and never examined.
            INT32 available = 0;
            for (int r = 2; r <= kPaperSourceRecordCount; r++) {
                if (RecordAvailable(reply, tag + kFieldStart + kRecordWidth * (r - 1)))
                    available++;
            }
            info->paperSourceCount = available;
        }
    }
    return result;
}

}  // namespace qv
