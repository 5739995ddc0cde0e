// The other side of the reliability tests.
//   reliability_helper lock <file>          holds the file open, sharing nothing, until killed
//   reliability_helper saveloop <folder> <n> saves two different n-entry catalogues in turn, forever
#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/CatalogueFile.h"

namespace {

std::vector<WideRow> Catalogue(int rows, const wchar_t* tag) {
    std::vector<WideRow> out;
    out.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        const std::wstring n = std::to_wstring(i);
        out.push_back({L"应用程序", std::wstring(tag) + n, L"C:\\程序\\" + n + L".exe", L"C:\\程序\\", L"-" + n,
                       L"注释 " + std::wstring(tag)});
    }
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"lock") {
        HANDLE file = CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 2;
        Sleep(INFINITE);
    }
    if (argc >= 4 && std::wstring(argv[1]) == L"saveloop") {
        const std::wstring path = CataloguePathFor(argv[2]);
        const int rows = _wtoi(argv[3]);
        const auto a = Catalogue(rows, L"A");
        const auto b = Catalogue(rows, L"B");
        for (;;) {
            SaveCatalogueFile(path, b);
            SaveCatalogueFile(path, a);
        }
    }
    return 1;
}
