/*
 * qvhost: loads qvoptinf.dll and calls QVOpenPrinterInf as a printer driver's
 * user interface would, then prints the result.
 *
 *   qvhost [--query] [--dialog] [--current v1,...,v12] [--dll path] [--json] [--trace] PRINTER MODEL
 *   qvhost --version
 *
 * --current gives the caller's record as twelve integers in field order:
 * idValid,idCount,id0,...,id5,memoryValid,memorySizeMB,paperSourceValid,paperSourceCount
 *
 * --json prints one JSON object instead of the readable text, for scripts:
 *   {"printer": "...", "model": "...", "query": 1, "dialog": 0, "result": 1,
 *    "resultInfo": {"idValid": 1, "idCount": 6, "id": [30, ...], "memoryValid": 1,
 *                   "memorySizeMB": 64, "paperSourceValid": 1, "paperSourceCount": 1}}
 * with "resultInfo": null when the call left the record untouched.
 *
 * --trace switches the module's support trace on for this process and prints
 * its lines ("qvoptinf: ...") on standard error as the call goes, so no
 * debugger is needed to read them.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "qvoptinf.h"
#include "qv_version.h"

static void usage(void)
{
    fprintf(stderr,
            "usage: qvhost [--query] [--dialog] [--current v1,...,v12] [--dll path] [--json] [--trace]\n"
            "              PRINTER MODEL\n"
            "       qvhost --version\n"
            "  --query    ask the printer through XKAPI.DLL\n"
            "  --dialog   show the option information dialog\n"
            "  --current  the record the caller already holds, twelve integers in field order\n"
            "  --json     print the result and the record as one JSON object\n"
            "  --trace    print the module's support trace on standard error\n");
}

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

/* OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text, which a
 * vectored handler sees before anything else: the module's lines are printed
 * and the exception goes on to the platform's own handling. */
static LONG CALLBACK print_trace_line(EXCEPTION_POINTERS *info)
{
    const EXCEPTION_RECORD *record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char *text = (const char *)record->ExceptionInformation[1];
        if (text != NULL && strncmp(text, "qvoptinf: ", 10) == 0) {
            fputs(text, stderr);
            fflush(stderr);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

static int parse_record(const char *text, OptionInfo *info)
{
    INT32 *fields = (INT32 *)info;
    int i;
    for (i = 0; i < 12; i++) {
        char *end;
        fields[i] = (INT32)strtol(text, &end, 0);
        if (end == text || (i < 11 && *end != ','))
            return 0;
        text = end + 1;
    }
    return 1;
}

static void print_record(const char *title, const OptionInfo *info)
{
    int i;
    printf("%s\n", title);
    printf("  printer ID   : %s, %u elements:", info->idValid ? "valid" : "not valid", (unsigned)info->idCount);
    for (i = 0; i < 6; i++)
        printf(" %ld", (long)info->id[i]);
    printf("\n  memory       : %s, %ld MB\n", info->memoryValid ? "valid" : "not valid", (long)info->memorySizeMB);
    printf("  paper sources: %s, %ld optional (%s)\n", info->paperSourceValid ? "valid" : "not valid",
           (long)info->paperSourceCount,
           info->paperSourceCount == 1 ? "lower tray fitted" : info->paperSourceCount == 0 ? "none" : "?");
}

/* An ANSI text as a JSON string: the code page's characters as \u escapes
 * where they are not plain printable ASCII. */
static void print_json_text(const char *text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0), i;
    WCHAR *wide = (WCHAR *)malloc(sizeof(WCHAR) * (n > 0 ? n : 1));
    if (!wide || MultiByteToWideChar(CP_ACP, 0, text, -1, wide, n) != n)
        n = 0;
    putchar('"');
    for (i = 0; i < n - 1; i++) {
        if (wide[i] == '"' || wide[i] == '\\')
            printf("\\%c", (char)wide[i]);
        else if (wide[i] < 0x20 || wide[i] > 0x7E)
            printf("\\u%04x", (unsigned)wide[i]);
        else
            putchar((char)wide[i]);
    }
    putchar('"');
    free(wide);
}

static void print_json(const char *printer, const char *model, int query, int dialog, int result,
                       const OptionInfo *info)
{
    int i;
    printf("{\"printer\": ");
    print_json_text(printer);
    printf(", \"model\": ");
    print_json_text(model);
    printf(", \"query\": %d, \"dialog\": %d, \"result\": %d, \"resultInfo\": ", query, dialog, result);
    if (!info) {
        printf("null}\n");
        return;
    }
    printf("{\"idValid\": %ld, \"idCount\": %lu, \"id\": [", (long)info->idValid, (unsigned long)info->idCount);
    for (i = 0; i < 6; i++)
        printf(i ? ", %ld" : "%ld", (long)info->id[i]);
    printf("], \"memoryValid\": %ld, \"memorySizeMB\": %ld, \"paperSourceValid\": %ld, "
           "\"paperSourceCount\": %ld}}\n",
           (long)info->memoryValid, (long)info->memorySizeMB, (long)info->paperSourceValid,
           (long)info->paperSourceCount);
}

int main(int argc, char **argv)
{
    const char *dll = "qvoptinf.dll";
    const char *printer = NULL, *model = NULL;
    int query = 0, dialog = 0, have_current = 0, json = 0, trace = 0, written, i, result;
    OptionInfo current, out;
    HMODULE module;
    PFN_QVOpenPrinterInf open_inf;

    memset(&current, 0, sizeof current);
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("qvhost %s\n", QV_VERSION_TEXT);
        return 0;
    }
    for (i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--query") == 0) query = 1;
        else if (strcmp(argv[i], "--dialog") == 0) dialog = 1;
        else if (strcmp(argv[i], "--json") == 0) json = 1;
        else if (strcmp(argv[i], "--trace") == 0) trace = 1;
        else if (strcmp(argv[i], "--current") == 0 && i + 1 < argc) {
            if (!parse_record(argv[++i], &current)) { usage(); return 2; }
            have_current = 1;
        } else if (strcmp(argv[i], "--dll") == 0 && i + 1 < argc) dll = argv[++i];
        else if (argv[i][0] == '-') { usage(); return 2; }
        else if (!printer) printer = argv[i];
        else if (!model) model = argv[i];
        else { usage(); return 2; }
    }
    if (!printer || !model) { usage(); return 2; }

    if (trace) {
        /* Read by the module at its first trace line. */
        SetEnvironmentVariableA("QVOPTINF_TRACE", "1");
        AddVectoredExceptionHandler(1, print_trace_line);
    }
    module = LoadLibraryA(dll);
    if (!module) {
        fprintf(stderr, "qvhost: cannot load %s (error %lu)\n", dll, GetLastError());
        return 3;
    }
    open_inf = (PFN_QVOpenPrinterInf)(void (*)(void))GetProcAddress(module, "QVOpenPrinterInf");
    if (!open_inf) {
        fprintf(stderr, "qvhost: %s does not export QVOpenPrinterInf\n", dll);
        return 3;
    }

    /* Fill the result with a marker so that an untouched record shows. */
    memset(&out, 0xA5, sizeof out);
    if (!json)
        printf("QVOpenPrinterInf(\"%s\", \"%s\", query=%d, dialog=%d)\n", printer, model, query, dialog);
    fflush(stdout);   /* before the trace lines that the call prints on standard error */
    result = open_inf(printer, model, 0, have_current ? &current : NULL, &out, dialog, query);
    written = !(out.idValid == (INT32)0xA5A5A5A5 && out.idCount == 0xA5A5A5A5u);
    if (json)
        print_json(printer, model, query, dialog, result, written ? &out : NULL);
    else {
        printf("result: %d\n", result);
        if (written)
            print_record("option information:", &out);
        else
            printf("option information: not written\n");
    }
    FreeLibrary(module);
    return result == 1 ? 0 : 1;
}
