// RawPrintJob: sends bytes that are already in the printer's own command
// language to a named printer as one spooler job, without drawing anything.
//
// Use it as a local for one job: BeginJob, any number of Write, then EndJob,
// which is called also when BeginJob or a Write failed so that whatever was
// opened is closed again. Small writes are collected in a 2048-byte staging
// buffer, so a job of up to 2048 bytes reaches the spooler in one WritePrinter
// call, made by EndJob; longer data goes out in 2048-byte blocks straight from
// the caller's memory.
//
// The job's data type is RAW. Every operation returns nonzero for success and
// 0 for failure. No reason is kept and nothing is shown; the spooler's
// last-error value is not consulted.
// Start and end of the job depend on the running Windows version (CMisc's
// PlatformKind):
//   kPlatformWin9x, kPlatformWin9xLater         a document
//   kPlatformOldNt to kPlatformNt4              a document and one page
//   kPlatformWin32s, kPlatformKindNone          refused: BeginJob fails,
//                                               EndJob ends nothing and fails
#ifndef QV_RAWPRINT_RAW_PRINT_JOB_H
#define QV_RAWPRINT_RAW_PRINT_JOB_H

#include <windows.h>
#include <winspool.h>

namespace qv {

class RawPrintJob {
public:
    enum { kStagingSize = 2048 };

    RawPrintJob();
    // A job is ended by EndJob. As a safety net only, a printer handle that is
    // still held (EndJob was never called) is closed here; no page or
    // document is ended.
    virtual ~RawPrintJob();

    // Opens the printer and starts document and page by platform kind.
    // 0: the printer could not be opened, the platform kind could not be
    // determined or is refused, or starting the document or page failed; a
    // printer that was opened stays open until EndJob.
    int BeginJob(LPCSTR printerName);
    // Adds length bytes to the job. 0: no printer is open, or the spooler
    // refused a block (see the source for which bytes stay staged).
    int Write(const void* data, DWORD length);
    // Hands over the staged bytes, ends page and document by platform kind and
    // closes the printer; every step runs whatever the earlier ones gave.
    // 0: any step failed, the platform kind could not be determined or is
    // refused, or no printer was open.
    int EndJob();

    // The steps of the three operations above.
    // 0: OpenPrinterA failed; the handle is left as it was.
    int Open(LPCSTR printerName);
    // 0: no printer is open, or StartDocPrinterA failed.
    int StartDocument();
    // StartPagePrinter's result; 0 also when no printer is open.
    int StartPage();
    // Hands the staged bytes over, even none, and empties the buffer.
    // 0: no printer is open (the bytes stay staged), or WritePrinter failed
    // (the bytes are lost).
    int Flush();
    // One WritePrinter call for exactly these bytes. 0: no printer is open, or
    // WritePrinter failed. A partial write reported as success is success.
    int WriteThrough(const void* data, DWORD length);
    // EndPagePrinter's result; 0 also when no printer is open.
    int EndPage();
    // EndDocPrinter's result; 0 also when no printer is open.
    int EndDocument();
    // ClosePrinter when a handle is held; the handle is forgotten either way,
    // so it is never closed twice. 0: ClosePrinter failed. With no handle
    // held, 1.
    int Close();

    // Opens, writes and ends one job with this packet between two printer
    // resets (ESC @ twice). 0: any step failed; the printer is closed again
    // in every case in which it was opened.
    int PrintPacket(LPCSTR printerName, const BYTE* packet, DWORD length);

    bool IsOpen() const { return m_printer != NULL; }
    DWORD StagedCount() const { return m_stagedCount; }

private:
    RawPrintJob(const RawPrintJob&);
    RawPrintJob& operator=(const RawPrintJob&);

    HANDLE m_printer;
    BYTE m_staging[kStagingSize];
    DWORD m_stagedCount;
};

}  // namespace qv

#endif
