// ImportPatch: makes a loaded module call a replacement instead of one of
// the functions it imports, by rewriting its import address table, until the
// patch goes out of scope. Lets a test make the platform fail for one module
// only (its heap, for instance) while the rest of the process runs normally.
// It is the tests' one way of standing in for the platform: for the module
// (or a copy of it), and for the test program itself, whose import table the
// module's code linked into it calls through.
#ifndef QV_TESTS_IMPORT_PATCH_H
#define QV_TESTS_IMPORT_PATCH_H

#include <windows.h>

class ImportPatch {
public:
    // dll is compared without regard to case ("KERNEL32.dll").
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    // The same, in this test program's own import table.
    ImportPatch(const char* dll, const char* function, void* replacement)
        : ImportPatch(GetModuleHandleA(NULL), dll, function, replacement)
    {
    }
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import that function by name.
    bool applied() const { return m_slot != NULL; }
    // What the slot held before: the function itself, or the replacement of
    // a patch made earlier. Call it to reach the platform past the patch.
    template <typename Function>
    Function original() const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(m_original));
    }

private:
    static void Write(void** slot, void* value);
    void** m_slot;
    void* m_original;
};

#endif
