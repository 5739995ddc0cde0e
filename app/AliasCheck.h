#pragma once
// The health check of every alias in the list: after the catalogue loads
// and from the menu command "检查别名(&C)...". Missing, changed and
// unreachable shortcuts are named in one question and, on Yes, written again
// through the same store as an add; what still fails afterwards is reported.
// Aliases whose program or folder is gone are named with them (and at
// start-up on their own), with what to do: no shortcut can help those.
#include <windows.h>

#include <string>
#include <vector>

#include "app/ListView.h"
#include "catalogue/AliasFolders.h"
#include "catalogue/AliasStore.h"

enum class AliasCheckTrigger {
    StartUp,  // silent unless something can be repaired
    Command,  // also says when every alias works
};

void CheckAliases(HWND owner, const ListView& list, const std::wstring& windir, AliasCheckTrigger trigger,
                  const UserPathKey& key = {});

// The rows that name an alias, as entries, in list order.
std::vector<Entry> ListedEntries(const ListView& list);

// What follows the inspection of `entries` (findings in the same order):
// the question about what can be repaired, the repair on Yes, and the
// report. The start-up check inspects on a thread of its own and asks
// through this on the window's thread.
void ReportAliasFindings(HWND owner, const std::vector<Entry>& entries,
                         const std::vector<AliasStore::Finding>& findings, AliasStore& store,
                         AliasCheckTrigger trigger);
