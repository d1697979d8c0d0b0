// FakeXk: a test's handle on the fake XKAPI.DLL.
//
// It loads the fake by full path: the complete one beside the test
// executable, or a variant that lacks one entry point (from
// xkapi_without/<entry>/). The module under test finds the complete one
// beside the test executable (the application's folder) and loads that very
// file, so both share the fake's state. When the module frees its references
// the test's own keeps the fake loaded; the destructor drops it, and the next
// FakeXk starts from a fresh instance.
#ifndef QV_TESTS_FAKE_XK_H
#define QV_TESTS_FAKE_XK_H

#include <windows.h>

#include <string>
#include <vector>

#include "bidi/xkapi.h"

// The printer of the second model as the tests script it: its device ID, and
// the reply waiting on its status channels, which gives PrinterAnswer()
// (option_record.h): ID 30 42 48 56 64 70, 64 MB, the lower tray fitted.
const char kStandardDeviceId[] = "MFG:Sim;MDL:Marlow Wide 900;CMD:X;";
const std::string kStandardReply = "CW:001E2A30384046;CD:00ST010001LT02000140;";

class FakeXk {
public:
    // withoutEntry: name of the entry point the loaded variant lacks, or NULL.
    // folder: where the fake lies (with a trailing backslash); empty for the
    // test executable's own folder.
    explicit FakeXk(const char* withoutEntry = NULL, const std::string& folder = std::string());
    ~FakeXk();
    FakeXk(const FakeXk&) = delete;
    FakeXk& operator=(const FakeXk&) = delete;

    bool loaded() const { return m_module != NULL; }
    HMODULE module() const { return m_module; }
    // Full path of the loaded variant.
    const std::string& path() const { return m_path; }

    void Reset();
    void SetDeviceId(const std::string& bytes);        // as given; add "\0" to end it
    void SetDeviceIdText(const std::string& text);     // the text and its NUL
    void SetChannels(const std::string& rawTable);
    void SetReply(DWORD key, const std::string& bytes);
    // The standard printer: kStandardDeviceId, and kStandardReply on the one
    // status channel it offers, key.
    void SetStandardPrinter(DWORD key = kPreferredStatusChannel);
    // value kAnswered forces nothing: the call answers as the fake would.
    void ForceResult(const char* entry, LONG call, LONG value);
    void ForceSize(const char* entry, LONG call, LONG value);
    static const LONG kAnswered = -100;
    // Turns the recording of calls off or on (on after Reset).
    void SetLogging(bool on);
    std::vector<std::string> Log() const;
    // The log with the sizes and buffers left out: just the entry names and
    // their first arguments that matter for a sequence (keys, handles).
    std::vector<std::string> Calls() const;
    LONG InitDepth() const;
    LONG MaxInitDepth() const;   // since the last Reset
    LONG OpenChannels() const;

    // A channel table of entries {key, flags}.
    static std::string Table(std::initializer_list<std::pair<DWORD, WORD>> entries);
    // The entry of Calls() for opening the channel with this key.
    static std::string OpenCall(DWORD key);
    // Folder of the running test executable, with a trailing backslash.
    static std::string ExeFolder();

private:
    template <typename Fn>
    Fn Get(const char* name) const;

    HMODULE m_module;
    std::string m_path;
};

#endif
