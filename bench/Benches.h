#pragma once
// The benchmark sections and the helpers they share. Each section adds rows
// to the report: a figure, its floor measured in the same run, a target and
// a verdict.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include "tests/support/TestSupport.h"

class frmMain;

namespace bench {

extern bool g_quick;        // fewer repetitions and cycles, for trying the bench out
extern std::wstring g_only;  // run one section only: load, icons, paint, dispatch, objects, health, processes
extern int g_prompts;        // message boxes the program raised during the run

bool Runs(const wchar_t* section);
int Reps(int full);
using testsupport::PumpMessages;
using testsupport::ReadBytes;
std::wstring MakeFolder(const std::wstring& parent, const std::wstring& name);

// Rows shaped like a real catalogue: Chinese and ASCII text, every field
// representable in code page 936, names unique.
std::vector<WideRow> MakeRows(int n);
// The file's bytes for `rows`, converted field by field (independently of
// the save's own conversion).
std::string AnsiBytes(const std::vector<WideRow>& rows);
std::string Verdict(bool holds);
// "holds", or "misses: " and why, so a missed target keeps its reason.
std::string Verdict(bool holds, const std::string& whyMissed);

// The floors' window and list: a bare report list view with the same columns
// and styles as the main window's.
HWND PlainWindow(const wchar_t* title, bool show);
HWND BareList(HWND parent, HWND like);
void PlainInsert(HWND list, const std::vector<WideRow>& rows);

void BenchLoadAndSave(Report& report, frmMain& main, const std::wstring& folder);
void BenchIcons(Report& report, frmMain& main);
void BenchPaint(Report& report, frmMain& main);
void BenchDispatch(Report& report);
void BenchObjects(Report& report, frmMain& main);
void BenchProcesses(Report& report, const std::wstring& work);

}  // namespace bench
