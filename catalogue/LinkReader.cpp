#include "catalogue/LinkReader.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

// Property getters take a buffer; INFOTIPSIZE (1024) is what the shell
// itself allows for a description, and longer values are cut by it too.
template <class Getter>
std::wstring Get(Getter&& get) {
    wchar_t buffer[INFOTIPSIZE + 1] = {};
    if (FAILED(get(buffer, INFOTIPSIZE))) return {};
    buffer[INFOTIPSIZE] = 0;
    return buffer;
}

}  // namespace

std::optional<LinkFields> LinkReader::Read(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    if (!link_) {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link_.put_void())) ||
            FAILED(link_->QueryInterface(IID_IPersistFile, file_.put_void()))) {
            link_.reset();
            file_.reset();
            return std::nullopt;
        }
    }
    if (FAILED(file_->Load(path.c_str(), STGM_READ))) return std::nullopt;
    LinkFields fields;
    fields.target = Get([&](wchar_t* b, int n) { return link_->GetPath(b, n, nullptr, SLGP_RAWPATH); });
    fields.args = Get([&](wchar_t* b, int n) { return link_->GetArguments(b, n); });
    fields.workDir = Get([&](wchar_t* b, int n) { return link_->GetWorkingDirectory(b, n); });
    fields.description = Get([&](wchar_t* b, int n) { return link_->GetDescription(b, n); });
    return fields;
}
