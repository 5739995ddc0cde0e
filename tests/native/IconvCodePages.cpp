#include "tests/native/IconvCodePages.h"

#include <iconv.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "catalogue/CatalogueEncoding.h"
#include "catalogue/Utf8.h"

namespace {

const char* IconvName(unsigned codePage) {
    switch (codePage) {
        case 874: return "CP874";
        case 932: return "CP932";
        case 936: return "CP936";
        case 949: return "CP949";
        case 950: return "CP950";
        case 1250: return "CP1250";
        case 1251: return "CP1251";
        case 1252: return "CP1252";
        default: return nullptr;
    }
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    void Reset() {
        if (ok()) iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    // Converts as much as it can; false at bytes it cannot convert (or cut
    // short), with `in` left pointing at them.
    bool Run(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        char* from = const_cast<char*>(in);
        const std::size_t r = iconv(handle_, &from, &inLeft, &out, &outLeft);
        in = from;
        return r != static_cast<std::size_t>(-1);
    }

private:
    iconv_t handle_;
};

// One open conversion per direction and code page, kept for the process:
// opening one costs more than a whole conversion of a line. The tests run
// on one thread.
Iconv& Opened(const char* to, const char* from) {
    static std::map<std::pair<std::string, std::string>, std::unique_ptr<Iconv>> opened;
    std::unique_ptr<Iconv>& cd = opened[{to, from}];
    if (!cd) cd = std::make_unique<Iconv>(to, from);
    cd->Reset();
    return *cd;
}

std::string LittleEndianBytes(const wchar_t* text, std::size_t size) {
    std::string bytes;
    bytes.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const auto unit = static_cast<std::uint16_t>(text[i]);
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The surrogate pair at text[i] (true), or a unit of its own.
bool PairAt(const wchar_t* text, std::size_t size, std::size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
}

}  // namespace

unsigned IconvCodePages::MaxCharSize(unsigned codePage) const {
    if (codePage == kCodePageUtf8) return 4;
    if (!IconvName(codePage)) return 0;
    return codePage >= 1250 || codePage == 874 ? 1 : 2;
}

void IconvCodePages::Decode(unsigned codePage, std::string_view bytes, std::wstring& out) const {
    if (codePage == kCodePageUtf8) {
        utf8::Decode(bytes, out);
        return;
    }
    const char* name = IconvName(codePage);
    if (!name) {
        out.append(bytes.size(), L'\xFFFD');
        return;
    }
    Iconv& cd = Opened("UTF-16LE", name);
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    std::string units(bytes.size() * 4 + 4, '\0');
    while (inLeft > 0) {
        char* to = units.data();
        std::size_t toLeft = units.size();
        const bool done = cd.Run(in, inLeft, to, toLeft);
        for (const char* p = units.data(); p < to; p += 2) {
            out += static_cast<wchar_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
        }
        if (done) break;
        // One byte with no meaning here: a replacement, then on after it.
        out += L'\xFFFD';
        ++in;
        --inLeft;
    }
}

std::size_t IconvCodePages::Encode(unsigned codePage, const wchar_t* text, std::size_t size, char* to,
                                   bool& lost) const {
    if (codePage == kCodePageUtf8) return static_cast<std::size_t>(utf8::Encode(text, size, to, lost) - to);
    const char* name = IconvName(codePage);
    if (!name) {
        lost = true;
        return 0;
    }
    Iconv& cd = Opened(name, "UTF-16LE");
    char* const start = to;
    // Character by character, so one that the code page lacks becomes the
    // default character '?' and the rest still converts. As the system's
    // conversion does with WC_NO_BEST_FIT_CHARS, a character whose bytes
    // read back as another (glibc's CP932 writes U+00A2 as the bytes of
    // U+FFE0) counts as lacking too.
    std::wstring back;
    for (std::size_t i = 0; i < size;) {
        const std::size_t units = PairAt(text, size, i) ? 2 : 1;
        const std::string bytes = LittleEndianBytes(text + i, units);
        const char* in = bytes.data();
        std::size_t inLeft = bytes.size();
        std::size_t toLeft = 8;
        char* const before = to;
        bool converted = cd.Run(in, inLeft, to, toLeft) && inLeft == 0;
        if (converted) {
            back.clear();
            Decode(codePage, std::string_view(before, static_cast<std::size_t>(to - before)), back);
            converted = back == std::wstring_view(text + i, units);
        }
        if (!converted) {
            to = before;
            *to++ = '?';
            lost = true;
        }
        i += units;
    }
    return static_cast<std::size_t>(to - start);
}
