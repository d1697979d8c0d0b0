// ImportPatch: makes a loaded module call a replacement instead of one of
// the functions it imports, by rewriting its import address table, until the
// patch goes out of scope. Lets a test make the platform fail for one module
// only (its heap, for instance) while the rest of the process runs normally.
#ifndef QV_TESTS_IMPORT_PATCH_H
#define QV_TESTS_IMPORT_PATCH_H

#include <windows.h>

class ImportPatch {
public:
    // dll is compared without regard to case ("KERNEL32.dll").
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import that function by name.
    bool applied() const { return m_slot != NULL; }

private:
    static void Write(void** slot, void* value);
    void** m_slot;
    void* m_original;
};

#endif
