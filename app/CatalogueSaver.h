#pragma once
// The save command's part of the catalogue file: writes the list's rows to
// it, asks first when characters would be lost, and refuses to overwrite a
// file that could not be read at start-up.
#include <windows.h>

#include <string>

#include "app/ListView.h"
#include "catalogue/CatalogueFile.h"

class CatalogueSaver {
public:
    // The file could not be read (`reason` says why): it must not be
    // overwritten in this run.
    void Refuse(std::wstring reason);
    bool Refused() const { return refused_; }

    // Writes every row of `list` to `path`. False when nothing was written:
    // refused, declined by the user, or failed; the user has been told why.
    bool Save(HWND owner, const ListView& list, const std::wstring& path);

private:
    bool refused_ = false;
    std::wstring refusal_;
    // The last save's text and bytes, whose buffers the next save reuses.
    CatalogueText text_;
    CatalogueBytes bytes_;
};
