#pragma once
// Functions of system DLLs looked up when they are first needed: calls that
// older Windows lacks, and DLLs the program needs only for a later command
// (a download, a file dialog, a screen reader's question), which would
// otherwise be loaded, with the DLLs they pull in, while the program starts.
// The linker's delay-load tables are not used for the second: binutils 2.44
// puts them in read-only memory, where the first call faults.
#include <windows.h>

// The DLL, loaded from the system folder only (never from the program's
// folder or the current one) the first time it is asked for, and kept for
// the life of the process; null when it cannot be loaded.
HMODULE SystemLibrary(const wchar_t* dll) noexcept;

// The function `name` of `dll` as a pointer of type F (a function pointer
// type); null when the DLL or the function is missing.
template <class F>
F SystemFunction(const wchar_t* dll, const char* name) noexcept {
    const HMODULE module = SystemLibrary(dll);
    // Through void (*)(): GetProcAddress's type says nothing of the function's.
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}
