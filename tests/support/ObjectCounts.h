#pragma once
// Counting the process's GDI and USER objects where GetGuiResources cannot
// (it answers 0 under Wine): the leak checks of the tests and the benchmark.
#include <windows.h>

#include <cstddef>

// Live GDI objects of this process, read from the shared GDI handle table the
// process environment block points to (Windows and Wine both keep one);
// -1 when the table is not there.
int CountGdiObjects();

// Windows owned by this process: top-level ones, their descendants and
// message-only windows. Menus, icons and cursors are not enumerable and are
// not included.
int CountProcessWindows();

// Top-level windows of every other process (the shell's, under Wine its
// explorer): what grows there is not this program's.
int CountOtherProcessWindows();

// Working set of a process in bytes (0 when it cannot be read).
size_t WorkingSet(HANDLE process);
