// Records every help request of the code linked into this program: owner,
// file, command and data. Nothing is opened; each request "succeeds".
//
// The code asks for the help viewer's entry (WinHelpA) through its look-up of
// the functions of newer systems, once per process. From the start of main
// (see AnswerLookUps) this program's look-ups of USER32's WinHelpA answer
// with an entry of the tests': it hands each request to the HelpRecorder that
// lives, and without one it opens nothing and fails, as where there is no
// viewer.
#ifndef QV_TESTS_HELP_RECORDER_H
#define QV_TESTS_HELP_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

struct RecordedHelp {
    HWND owner;
    std::string file;
    UINT command;
    ULONG_PTR data;
};

class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    const std::vector<RecordedHelp>& calls() const { return m_calls; }

    // Patches this program's GetProcAddress import for the rest of its run,
    // so that WinHelpA is found as the tests' entry. Called from main, before
    // any look-up.
    static void AnswerLookUps();

private:
    HelpRecorder(const HelpRecorder&);
    HelpRecorder& operator=(const HelpRecorder&);
    std::vector<RecordedHelp> m_calls;
};

#endif
