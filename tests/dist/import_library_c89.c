/* A C89 caller that links against the module's import library, as a driver
 * project does, instead of looking the export up: the header's __stdcall
 * prototype must resolve through the library (on i686 as QVOpenPrinterInf@28)
 * to the module's plain export. Without a query or a dialog the call copies
 * the caller's record and returns 1. */
#include <stdio.h>
#include <string.h>

#include "qvoptinf.h"

int main(void)
{
    OptionInfo current, result;
    INT32* field = (INT32*)&current;
    int i, rc;

    for (i = 0; i < (int)(sizeof current / sizeof *field); i++)
        field[i] = 100 + i;
    memset(&result, 0xA5, sizeof result);
    rc = QVOpenPrinterInf("Import library test", "Marlow Wide 900", 0, &current, &result, 0, 0);
    if (rc != 1 || memcmp(&current, &result, sizeof result) != 0) {
        printf("expected 1 and the caller's record copied, got %d and %s\n", rc,
               memcmp(&current, &result, sizeof result) == 0 ? "the copy" : "another record");
        return 1;
    }
    printf("QVOpenPrinterInf through the import library: 1, the caller's record copied\n");
    return 0;
}
