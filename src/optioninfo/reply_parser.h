// ParseOptionReply: reads the printer's option information out of the reply
// fetched from its status channel.
//
// The reply is the length bytes at data, not necessarily NUL-terminated. The "CW:" block
// carries the six ID fields, the "CD:" block the paper-source records and
// the memory size; each block is found at its tag's first occurrence and its
// fields stand at fixed positions from the tag.
#ifndef QV_OPTIONINFO_REPLY_PARSER_H
#define QV_OPTIONINFO_REPLY_PARSER_H

#include "option_info.h"

namespace qv {

// Number of paper-source records in the "CD:" block; record 1 is the
// standard source, the others the optional ones.
const int kPaperSourceRecordCount = 2;

// Fills the groups whose flags are set in info (idValid: id[0..5],
// memoryValid: memorySizeMB, paperSourceValid: paperSourceCount); flags and
// idCount are never changed. Returns 1 when every block asked for was found,
// 0 when one was missing; the blocks that were found are written even then.
// Fields that are "NA", not hexadecimal, or would lie past the end of the
// reply read as 0.
int ParseOptionReply(const BYTE* data, DWORD length, OptionInfo* info);

}  // namespace qv

#endif
