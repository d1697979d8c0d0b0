/* Compiled as C: the public header must be usable from C, and its layout is
 * compared with the module's own record. */
#include <stddef.h>

#include "../../include/qvoptinf.h"

void PublicOptionInfoLayout(size_t *size, size_t offsets[12])
{
    int i;
    *size = sizeof(OptionInfo);
    offsets[0] = offsetof(OptionInfo, idValid);
    offsets[1] = offsetof(OptionInfo, idCount);
    for (i = 0; i < 6; i++)
        offsets[2 + i] = offsetof(OptionInfo, id) + (size_t)i * sizeof(INT32);
    offsets[8] = offsetof(OptionInfo, memoryValid);
    offsets[9] = offsetof(OptionInfo, memorySizeMB);
    offsets[10] = offsetof(OptionInfo, paperSourceValid);
    offsets[11] = offsetof(OptionInfo, paperSourceCount);
}
