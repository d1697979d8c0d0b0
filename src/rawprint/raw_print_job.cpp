#include "raw_print_job.h"

#include <string.h>

#include "../util/misc.h"

namespace qv {

namespace {

// ESC @ twice: puts the printer back into its default state before and after
// the packet.
const BYTE kResetSequence[] = {0x1B, 0x40, 0x1B, 0x40};

// What a job consists of on the running platform.
enum JobShape {
    kJobRefused,           // Win32s, and versions that have no kind
    kJobDocument,          // the Windows 9x family
    kJobDocumentAndPage,   // the NT family
};

// The 9x family from 5.0 on gets the document that 95/98/Me get: a spooler
// that is handed bytes with no document started refuses them. A version
// without a kind (the 9x family below 4.0, unknown platforms) is refused like
// Win32s, since nothing says how its spooler wants a job.
JobShape JobShapeOf(PlatformKind kind)
{
    switch (kind) {
    case kPlatformWin9x:
    case kPlatformWin9xLater:
        return kJobDocument;
    case kPlatformOldNt:
    case kPlatformNt35:
    case kPlatformNt351:
    case kPlatformNt4:
        return kJobDocumentAndPage;
    case kPlatformWin32s:
    case kPlatformKindNone:
        break;
    }
    return kJobRefused;
}

}  // namespace

RawPrintJob::RawPrintJob() : m_printer(NULL), m_stagedCount(0)
{
}

RawPrintJob::~RawPrintJob()
{
    if (m_printer != NULL)
        ClosePrinter(m_printer);
}

int RawPrintJob::BeginJob(LPCSTR printerName)
{
    if (!Open(printerName))
        return 0;

    // From here on a failure leaves the printer open; EndJob closes it.
    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    if (!misc.GetPlatformKind(&kind))
        return 0;

    switch (JobShapeOf(kind)) {
    case kJobDocument:
        return StartDocument();
    case kJobDocumentAndPage:
        if (!StartDocument())
            return 0;
        return StartPage() ? 1 : 0;
    case kJobRefused:
    default:
        return 0;
    }
}

int RawPrintJob::Write(const void* data, DWORD length)
{
    if (m_printer == NULL)
        return 0;
    if (length == 0)
        return 1;

    const BYTE* next = static_cast<const BYTE*>(data);
    if (length > kStagingSize - m_stagedCount) {
        // The staged bytes go first, even none. If the spooler refuses them
        // they stay staged and none of the new data is taken.
        if (!WriteThrough(m_staging, m_stagedCount))
            return 0;
        m_stagedCount = 0;
        // Whole blocks go out straight from the caller's memory; the last
        // 1 to 2048 bytes are staged. A refused block loses the rest.
        while (length > kStagingSize) {
            if (!WriteThrough(next, kStagingSize))
                return 0;
            next += kStagingSize;
            length -= kStagingSize;
        }
    }
    memcpy(m_staging + m_stagedCount, next, length);
    m_stagedCount += length;
    return 1;
}

int RawPrintJob::EndJob()
{
    int result = 1;
    if (!Flush())
        result = 0;

    CMisc misc;
    PlatformKind kind = kPlatformKindNone;
    if (!misc.GetPlatformKind(&kind)) {
        // Without the kind nothing is known to end; the job is still closed.
        result = 0;
    } else {
        switch (JobShapeOf(kind)) {
        case kJobDocumentAndPage:
            // The document is ended also when ending the page failed.
            if (!EndPage())
                result = 0;
            if (!EndDocument())
                result = 0;
            break;
        case kJobDocument:
            if (!EndDocument())
                result = 0;
            break;
        case kJobRefused:
        default:
            result = 0;
            break;
        }
    }

    if (!Close())
        result = 0;
    return result;
}

int RawPrintJob::Open(LPCSTR printerName)
{
    HANDLE printer = NULL;
    if (!OpenPrinterA(const_cast<LPSTR>(printerName), &printer, NULL))
        return 0;
    m_printer = printer;
    return 1;
}

int RawPrintJob::StartDocument()
{
    if (m_printer == NULL)
        return 0;
    // No document name, no output file, and the data type RAW, which is what
    // the bytes are: under a printer whose default type is EMF the print
    // processor would take them for a metafile and the job would be lost.
    char rawType[] = "RAW";
    DOC_INFO_1A doc;
    doc.pDocName = NULL;
    doc.pOutputFile = NULL;
    doc.pDatatype = rawType;
    return StartDocPrinterA(m_printer, 1, reinterpret_cast<LPBYTE>(&doc)) != 0 ? 1 : 0;
}

int RawPrintJob::StartPage()
{
    return m_printer != NULL ? StartPagePrinter(m_printer) : 0;
}

int RawPrintJob::Flush()
{
    if (m_printer == NULL)
        return 0;
    // The buffer is emptied before the hand-over: a refused hand-over loses
    // the bytes rather than sending them twice.
    const DWORD count = m_stagedCount;
    m_stagedCount = 0;
    return WriteThrough(m_staging, count);
}

int RawPrintJob::WriteThrough(const void* data, DWORD length)
{
    if (m_printer == NULL)
        return 0;
    DWORD written = 0;
    return WritePrinter(m_printer, const_cast<void*>(data), length, &written) ? 1 : 0;
}

int RawPrintJob::EndPage()
{
    return m_printer != NULL ? EndPagePrinter(m_printer) : 0;
}

int RawPrintJob::EndDocument()
{
    return m_printer != NULL ? EndDocPrinter(m_printer) : 0;
}

int RawPrintJob::Close()
{
    if (m_printer == NULL)
        return 1;
    // The handle is forgotten even when the close fails: whatever the
    // spooler did with it, closing it a second time could only hit a handle
    // that is gone or, worse, one handed out again since.
    HANDLE printer = m_printer;
    m_printer = NULL;
    return ClosePrinter(printer) ? 1 : 0;
}

int RawPrintJob::PrintPacket(LPCSTR printerName, const BYTE* packet, DWORD length)
{
    int result = 1;
    if (!BeginJob(printerName) || !Write(kResetSequence, sizeof kResetSequence)) {
        result = 0;
    } else {
        if (!Write(packet, length))
            result = 0;
        if (!Write(kResetSequence, sizeof kResetSequence))
            result = 0;
    }
    if (!EndJob())
        result = 0;
    return result;
}

}  // namespace qv
