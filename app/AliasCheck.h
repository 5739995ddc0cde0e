#pragma once
// The health check of every alias in the list: after the catalogue loads
// and from the menu command "检查别名(&C)...". Missing, changed and
// unreachable shortcuts are named in one question and, on Yes, written again
// through the same store as an add; what still fails afterwards is reported.
#include <windows.h>

#include <string>

#include "app/ListView.h"
#include "catalogue/AliasFolders.h"

enum class AliasCheckTrigger {
    StartUp,  // silent unless something can be repaired
    Command,  // also says when every alias works
};

void CheckAliases(HWND owner, const ListView& list, const std::wstring& windir, AliasCheckTrigger trigger,
                  const UserPathKey& key = {});
