#include "app/CatalogueSaver.h"

#include <utility>

#include "app/CatalogueList.h"
#include "app/Prompt.h"
#include "catalogue/SystemCodePages.h"

CatalogueSaver::CatalogueSaver(CodePages pages) : codec_(pages, SystemCodePageConverter::Instance()) {}

void CatalogueSaver::Refuse(std::wstring reason) {
    refused_ = true;
    refusal_ = std::move(reason);
}

bool CatalogueSaver::Save(HWND owner, const ListView& list, const std::wstring& path) {
    if (refused_) {
        Prompt(owner,
               L"列表文件“" + path + L"”在启动时无法读取（" + refusal_ + L"），为避免覆盖其中的内容，列表没有保存。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ReadListText(list, text_);
    // Nothing is lost in any encoding the codec chooses, so nothing is asked.
    codec_.Encode(text_, bytes_);
    const CatalogueSave save = SaveCatalogueBytes(path, bytes_.bytes());
    if (!save.ok) {
        Prompt(owner,
               L"无法保存列表文件“" + path + L"”：\r\n" + save.reason + L"\r\n\r\n列表仍保留在窗口中，原文件未被改动。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    codec_.Written(bytes_.encoding);
    return true;
}
