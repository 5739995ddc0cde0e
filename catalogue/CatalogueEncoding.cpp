#include "catalogue/CatalogueEncoding.h"

#include "catalogue/Utf8.h"

namespace {

constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);
constexpr std::string_view kUtf16LeMark("\xFF\xFE", 2);
constexpr std::string_view kUtf16BeMark("\xFE\xFF", 2);

// Text in a code page; 65001 is UTF-8 itself.
CatalogueEncoding InCodePage(unsigned codePage) {
    if (codePage == kCodePageUtf8) return {Charset::Utf8, 0, false};
    return {Charset::CodePage, codePage, false};
}

bool IsByteCharset(Charset charset) { return charset == Charset::CodePage || charset == Charset::Utf8; }

}  // namespace

std::string_view MarkBytes(const CatalogueEncoding& encoding) {
    if (!encoding.mark) return {};
    switch (encoding.charset) {
        case Charset::Utf8: return kUtf8Mark;
        case Charset::Utf16Le: return kUtf16LeMark;
        case Charset::Utf16Be: return kUtf16BeMark;
        case Charset::CodePage: break;
    }
    return {};
}

CatalogueEncoding DetectCatalogueEncoding(std::string_view bytes, const CodePages& pages) {
    if (bytes.starts_with(kUtf8Mark)) return {Charset::Utf8, 0, true};
    if (bytes.starts_with(kUtf16LeMark)) return {Charset::Utf16Le, 0, true};
    if (bytes.starts_with(kUtf16BeMark)) return {Charset::Utf16Be, 0, true};
    if (utf8::IsAscii(bytes)) return NewCatalogueEncoding(pages);
    if (utf8::IsValid(bytes)) return {Charset::Utf8, 0, false};
    if (pages.ansi == kCodePageUtf8) return InCodePage(pages.legacy);
    return InCodePage(pages.ansi);
}

CatalogueEncoding NewCatalogueEncoding(const CodePages& pages) { return InCodePage(pages.ansi); }

bool LoadsAs(std::string_view bytes, const CatalogueEncoding& encoding, const CodePages& pages) {
    const CatalogueEncoding read = DetectCatalogueEncoding(bytes, pages);
    if (read == encoding) return true;
    // ASCII gives the same text in every code page and in UTF-8.
    return !read.mark && !encoding.mark && IsByteCharset(read.charset) && IsByteCharset(encoding.charset) &&
           utf8::IsAscii(bytes);
}
