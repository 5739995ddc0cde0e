#include "catalogue/LinkReader.h"

#include <objbase.h>
#include <shlobj.h>

bool LinkReader::Load(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (!link_) {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link_.put_void())) ||
            FAILED(link_->QueryInterface(IID_IPersistFile, file_.put_void()))) {
            link_.reset();
            file_.reset();
            return false;
        }
    }
    return SUCCEEDED(file_->Load(path.c_str(), STGM_READ));
}

std::optional<LinkFields> LinkReader::Read(const std::wstring& path) {
    if (!Load(path)) return std::nullopt;
    LinkFields fields;
    fields.target = LinkText([&](wchar_t* b, int n) { return link_->GetPath(b, n, nullptr, SLGP_RAWPATH); });
    fields.args = LinkText([&](wchar_t* b, int n) { return link_->GetArguments(b, n); });
    fields.workDir = LinkText([&](wchar_t* b, int n) { return link_->GetWorkingDirectory(b, n); });
    fields.description = LinkText([&](wchar_t* b, int n) { return link_->GetDescription(b, n); });
    return fields;
}
