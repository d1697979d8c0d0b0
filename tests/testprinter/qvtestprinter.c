/*
 * qvtestprinter: adds a printer to the current Wine prefix whose port is a
 * unix file or a shell pipe, so that a raw job sent to it lands in a file.
 *
 *   qvtestprinter PRINTER PORT
 *
 * PORT is a unix path ("/tmp/job.prn", the job is written to that file) or a
 * pipe ("|cat >> /tmp/job.prn"). The printer gets Wine's PostScript driver
 * with a small placeholder PPD, the print processor "winprint" and the data
 * type "RAW", so the bytes reach the port unchanged. Nothing happens when a
 * printer of that name with that port exists already; one with another port
 * is replaced. Exit code 0 when the printer is there afterwards.
 */
#include <windows.h>
#include <winspool.h>
#include <stdio.h>
#include <wchar.h>

#define DRIVER_NAME L"QV Raw Test Printer"

static const char kPpd[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*ModelName: \"QV Raw Test Printer\"\n"
    "*ShortNickName: \"QV Raw Test Printer\"\n"
    "*NickName: \"QV Raw Test Printer\"\n"
    "*PCFileName: \"QVRAW.PPD\"\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
    "*DefaultPageRegion: A4\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"0 0 595 842\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

/* The existing printer's port, or an empty text when there is no printer. */
static void GetPort(const WCHAR *printer, WCHAR *port, DWORD size)
{
    HANDLE handle = NULL;
    BYTE buffer[8192];
    DWORD needed = 0;
    port[0] = 0;
    if (!OpenPrinterW((LPWSTR)printer, &handle, NULL))
        return;
    if (GetPrinterW(handle, 2, buffer, sizeof buffer, &needed)) {
        const PRINTER_INFO_2W *info = (const PRINTER_INFO_2W *)buffer;
        if (info->pPortName != NULL)
            lstrcpynW(port, info->pPortName, size);
    }
    ClosePrinter(handle);
}

static int AddDriver(void)
{
    WCHAR system[MAX_PATH], ppd[MAX_PATH], driver[MAX_PATH];
    DRIVER_INFO_3W info;
    HANDLE file;
    DWORD written;

    GetSystemDirectoryW(system, MAX_PATH);
    swprintf(driver, MAX_PATH, L"%ls\\wineps.drv", system);
    GetTempPathW(MAX_PATH, ppd);
    lstrcatW(ppd, L"qvraw.ppd");
    file = CreateFileW(ppd, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "qvtestprinter: cannot write the PPD (%lu)\n", GetLastError());
        return 0;
    }
    WriteFile(file, kPpd, sizeof kPpd - 1, &written, NULL);
    CloseHandle(file);

    ZeroMemory(&info, sizeof info);
    info.cVersion = 3;
    info.pName = DRIVER_NAME;
    info.pDriverPath = driver;
    info.pDataFile = ppd;
    info.pConfigFile = driver;
    if (!AddPrinterDriverExW(NULL, 3, (LPBYTE)&info, APD_COPY_NEW_FILES)) {
        fprintf(stderr, "qvtestprinter: AddPrinterDriverExW failed (%lu)\n", GetLastError());
        return 0;
    }
    return 1;
}

int wmain(int argc, WCHAR **argv)
{
    WCHAR port[1024];
    PRINTER_INFO_2W info;
    HANDLE printer;

    if (argc != 3) {
        fprintf(stderr, "usage: qvtestprinter PRINTER PORT\n");
        return 2;
    }
    GetPort(argv[1], port, 1024);
    if (lstrcmpW(port, argv[2]) == 0)
        return 0;
    if (port[0] != 0) {
        HANDLE old = NULL;
        PRINTER_DEFAULTSW access = {NULL, NULL, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(argv[1], &old, &access) || !DeletePrinter(old)) {
            fprintf(stderr, "qvtestprinter: cannot replace the printer (%lu)\n", GetLastError());
            return 1;
        }
        ClosePrinter(old);
    }
    if (!AddDriver())
        return 1;

    ZeroMemory(&info, sizeof info);
    info.pPrinterName = argv[1];
    info.pPortName = argv[2];
    info.pDriverName = DRIVER_NAME;
    info.pPrintProcessor = L"winprint";
    info.pDatatype = L"RAW";
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    printer = AddPrinterW(NULL, 2, (LPBYTE)&info);
    if (printer == NULL) {
        fprintf(stderr, "qvtestprinter: AddPrinterW failed (%lu)\n", GetLastError());
        return 1;
    }
    ClosePrinter(printer);
    return 0;
}
