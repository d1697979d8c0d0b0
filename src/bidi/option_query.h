// QueryOptionInfo: asks the printer for its option information over the
// bidirectional library, on the channel that the running Windows version
// calls for, and parses the reply into info.
#ifndef QV_BIDI_OPTION_QUERY_H
#define QV_BIDI_OPTION_QUERY_H

#include "../optioninfo/option_info.h"
#include "bidi_channel.h"

#include <windows.h>

namespace qv {

// The groups whose flags are set in info are asked for, through the library
// at libraryPath (the full path that the call's search found). Returns 1 when
// the printer answered every one of them; 0 otherwise, with info possibly
// partly written (the caller passes a scratch copy). Shows nothing.
// resolved carries the library's entry points between the call's links (see
// BidiLink).
int QueryOptionInfo(LPCSTR libraryPath, LPCSTR printerName, OptionInfo* info,
                    BidiEntryPoints* resolved = NULL);

}  // namespace qv

#endif
