// Comparing and printing option records in the tests.
//
// Two record types reach the tests: the public header's OptionInfo (through
// module_under_test.h) and the module's own (optioninfo/option_info.h). They
// have the same name and the same 48-byte layout, and a test file sees only
// one of them. The work is done once, on the bytes; the typed helpers are
// templates in an unnamed namespace, so each test file gets its own copy for
// the type it sees, and no function of one name is defined for two types.
#ifndef QV_TESTS_OPTION_RECORD_H
#define QV_TESTS_OPTION_RECORD_H

#include <stddef.h>
#include <string.h>

#include <string>
#include <type_traits>

const size_t kOptionRecordBytes = 48;

// True when the two 48-byte records hold the same bytes.
bool SameRecordBytes(const void* a, const void* b);
// A 48-byte record as "{idValid,idCount,[six ids],memoryValid,memorySizeMB,
// paperSourceValid,paperSourceCount}", e.g. "{1,6,[30 42 48 56 64 70],1,64,1,1}".
std::string DescribeRecordBytes(const void* record);

namespace {

template <typename Record>
void CheckOptionRecordType()
{
    static_assert(sizeof(Record) == kOptionRecordBytes && std::is_trivially_copyable<Record>::value,
                  "an option record: twelve 32-bit integers");
}

template <typename Record>
bool SameRecord(const Record& a, const Record& b)
{
    CheckOptionRecordType<Record>();
    return SameRecordBytes(&a, &b);
}

template <typename Record>
std::string Describe(const Record& record)
{
    CheckOptionRecordType<Record>();
    return DescribeRecordBytes(&record);
}

// What the printer's standard reply gives for the second model, over the
// record the query started from: all three groups valid, printer ID
// 30 42 48 56 64 70, 64 MB, the lower tray fitted.
template <typename Record>
Record PrinterAnswer(Record info)
{
    CheckOptionRecordType<Record>();
    const int ids[6] = {30, 42, 48, 56, 64, 70};
    info.idValid = 1;
    info.idCount = 6;
    for (int k = 0; k < 6; k++)
        info.id[k] = ids[k];
    info.memoryValid = 1;
    info.memorySizeMB = 64;
    info.paperSourceValid = 1;
    info.paperSourceCount = 1;
    return info;
}

}  // namespace

#endif
