#pragma once
// Working shortcuts for the start-up benchmark's catalogue, and the programs
// they name, so the alias check that follows the start runs over real
// shortcuts and stays silent.
// They live in a per-user alias folder of the bench's own, under a
// LOCALAPPDATA given to the launched program only: the prefix's system
// folder already holds thousands of files, and Wine makes every new file
// name there cost a scan of the whole folder. The folder is made once and
// kept in the bench prefix across runs; it is on the user's PATH only
// while the runs last.
#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/CatalogueFile.h"

namespace bench {

class StartUpAliases {
public:
    // Makes (or finds from an earlier run) one shortcut per row and the
    // rows' programs, and puts the folder on the user's PATH.
    explicit StartUpAliases(const std::vector<WideRow>& rows);
    ~StartUpAliases();  // takes the folder off the PATH again
    StartUpAliases(const StartUpAliases&) = delete;
    StartUpAliases& operator=(const StartUpAliases&) = delete;

    bool Ready() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    // This process's environment with LOCALAPPDATA pointing at the folder's
    // parent, for CreateProcessW (CREATE_UNICODE_ENVIRONMENT).
    std::wstring& Environment() { return environment_; }

private:
    std::wstring local_;   // the LOCALAPPDATA the launched program gets
    std::wstring folder_;  // <local>\Tarvolo\Aliases, no trailing backslash
    std::wstring environment_;
    std::string problem_;
    bool addedToPath_ = false;
};

}  // namespace bench
