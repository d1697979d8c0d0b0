#include "option_info.h"

#include <string.h>

namespace qv {

void OptionInfo::Reset()
{
    memset(this, 0, sizeof *this);
}

OptionInfo& OptionInfo::CopyFrom(const OptionInfo* source)
{
    if (source == NULL)
        Reset();
    else
        memcpy(this, source, sizeof *this);
    return *this;
}

void OptionInfo::CopyTo(OptionInfo* target) const
{
    memcpy(target, this, sizeof *this);
}

}  // namespace qv
