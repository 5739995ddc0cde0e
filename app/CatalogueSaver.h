#pragma once
// The save command's part of the catalogue file: writes the list's rows to
// it in the encoding the file was read in (or one that holds every
// character), and refuses to overwrite a file that could not be read at
// start-up.
#include <windows.h>

#include <string>

#include "app/ListView.h"
#include "catalogue/CatalogueFile.h"

class CatalogueSaver {
public:
    // Reads and writes the file in `pages`, the system's code pages.
    explicit CatalogueSaver(CodePages pages);

    // The load at start-up reads through it, so the saves know the file's
    // encoding.
    CatalogueCodec& Codec() { return codec_; }

    // The file could not be read (`reason` says why): it must not be
    // overwritten in this run.
    void Refuse(std::wstring reason);
    bool Refused() const { return refused_; }

    // Writes every row of `list` to `path`. False when nothing was written:
    // refused or failed; the user has been told why.
    bool Save(HWND owner, const ListView& list, const std::wstring& path);

private:
    bool refused_ = false;
    std::wstring refusal_;
    CatalogueCodec codec_;
    // The last save's text and bytes, whose buffers the next save reuses.
    CatalogueText text_;
    CatalogueBytes bytes_;
};
