#include "app/CatalogueSaver.h"

#include <utility>

#include "app/CatalogueList.h"
#include "app/Prompt.h"

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
    ConvertCatalogue(text_, bytes_);
    const auto& losing = bytes_.losing;
    if (!losing.empty()) {
        std::wstring names;
        for (size_t i = 0; i < losing.size() && i < 10; ++i) {
            names += L"  " + std::wstring(text_.Field(losing[i], kName)) + L"\r\n";
        }
        if (losing.size() > 10) names += L"  ……\r\n";
        const int answer = Prompt(owner,
                                  L"以下项目含有当前系统代码页无法保存的字符，保存后这些字符会变成“?”：\r\n" + names +
                                      L"\r\n仍然保存吗？",
                                  kAppTitle, MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) return false;
    }
    const CatalogueSave save = SaveCatalogueBytes(path, bytes_.bytes());
    if (!save.ok) {
        Prompt(owner,
               L"无法保存列表文件“" + path + L"”：\r\n" + save.reason + L"\r\n\r\n列表仍保留在窗口中，原文件未被改动。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    return save.ok;
}
