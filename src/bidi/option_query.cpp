// Placeholder until the option query lands: the printer never answers.
#include "option_query.h"

int QueryOptionInfo(LPCSTR, OptionInfo*) { return 0; }
