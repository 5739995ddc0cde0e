// The list's icons: each row shows its target's icon, looked up away from
// the window, once per distinct target, and follows the row's path through
// adds, edits, moves and deletes.
#include "app/ListIcons.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/CatalogueList.h"
#include "tests/app/AppFixture.h"
#include "tests/app/InputSupport.h"

namespace {

// An icon's pixels drawn on a white ground, for comparing what rows show.
std::vector<COLORREF> Drawn(int size, const std::function<void(HDC)>& draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<COLORREF> DrawnIcon(HICON icon, int size) {
    const auto pixels = Drawn(size, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL); });
    DestroyIcon(icon);
    return pixels;
}

// Pixels that differ by more than blending's rounding: the image list and
// DrawIconEx blend the same icon a unit apart here and there.
int Unlike(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return static_cast<int>(std::max(a.size(), b.size()));
    int unlike = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto off = [&](int shift) { return std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)); };
        if (off(0) > 2 || off(8) > 2 || off(16) > 2) ++unlike;
    }
    return unlike;
}

int Blank(const std::vector<COLORREF>& pixels) {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), RGB(255, 255, 255)));
}

std::wstring Windows() {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    return windows;
}

class ListIconsTest : public AppTest {
protected:
    ListIcons& icons() { return main_->Icons(); }
    std::vector<COLORREF> Shown(int row) {
        const int image = icons().ImageOf(row);
        return Drawn(icons().IconSize(), [&](HDC dc) { ImageList_Draw(icons().Images(), image, dc, 0, 0, ILD_NORMAL); });
    }
    // Asks for every row's icon, as drawing does, until all have arrived.
    bool AllArrive() {
        return LoopUntil(*main_, [&] {
            for (int r = 0; r < main_->List1.Count(); ++r) {
                if (icons().ImageOf(r) == ListIcons::kPendingImage) return false;
            }
            return true;
        }, 10000);
    }
    LPARAM Add(const std::wstring& kind, const std::wstring& name, const std::wstring& path) {
        return WriteEntry(main_->List1, 0, kind, EntryFields{name, path, L"", L"", L""});
    }
};

}  // namespace

TEST_F(ListIconsTest, RowsShowTheirProgramsAndFoldersIconsAndAMarkForAGoneTarget) {
    const std::wstring notepad = Windows() + L"\\notepad.exe";
    const struct {
        const wchar_t* kind;
        std::wstring path;
    } rows[] = {
        {kKindProgram, notepad},
        {kKindFolder, Windows()},
        {kKindProgram, Windows() + L"\\notepd.exe"},  // a typing slip: no such program
        {kKindProgram, L"%windir%\\notepad.exe"},     // the same target, written otherwise
        {kKindProgram, L"C:\\WINDOWS\\NOTEPAD.EXE"},
        {kKindFolder, Windows() + L"\\system32\\"},
    };
    for (const auto& row : rows) Add(row.kind, L"x", row.path);
    // Filling the list looks nothing up: a row's icon is asked for when it is drawn.
    EXPECT_EQ(icons().LookUps(), 0);
    ASSERT_TRUE(AllArrive());

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int size = icons().IconSize();
    EXPECT_EQ(size, SmallIconSize(dpi));
    int width = 0, height = 0;
    ImageList_GetIconSize(icons().Images(), &width, &height);
    EXPECT_EQ(width, size);
    EXPECT_EQ(height, size);

    // The program's own icon, as the shell extracts it from the file.
    HICON own = nullptr;
    ASSERT_EQ(SHDefExtractIconW(notepad.c_str(), 0, 0, &own, nullptr, static_cast<UINT>(size)), S_OK);
    EXPECT_EQ(Unlike(Shown(0), DrawnIcon(own, size)), 0);
    // The folder icon, as the shell shows it for that folder.
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW(Windows().c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON));
    EXPECT_EQ(Unlike(Shown(1), DrawnIcon(info.hIcon, size)), 0);
    EXPECT_GT(Unlike(Shown(0), Shown(1)), size);
    EXPECT_LT(Blank(Shown(0)), size * size);
    EXPECT_EQ(icons().ImageOf(2), ListIcons::kGoneImage);
    EXPECT_LT(Blank(Shown(2)), size * size);
    // One target, however it is written, is looked up once and shows one image.
    EXPECT_EQ(icons().ImageOf(3), icons().ImageOf(0));
    EXPECT_EQ(icons().ImageOf(4), icons().ImageOf(0));
    EXPECT_EQ(Shown(5), Shown(1));
    EXPECT_EQ(icons().LookUps(), 4);
    EXPECT_TRUE(icons().VisibleRowsHaveIcons());
}

TEST_F(ListIconsTest, RowsAddedEditedMovedAndDeletedKeepTheRightIcon) {
    const std::wstring notepad = Windows() + L"\\notepad.exe";
    Add(kKindProgram, L"np", notepad);
    const LPARAM folder = Add(kKindFolder, L"win", Windows());
    ASSERT_TRUE(AllArrive());
    const auto program = Shown(0), folderIcon = Shown(1);
    const int gone = ListIcons::kGoneImage;

    // Moved: the icons go with their entries.
    main_->List1.Select(0);
    main_->CmdDown_Click();
    EXPECT_EQ(Shown(0), folderIcon);
    EXPECT_EQ(Shown(1), program);
    main_->CmdUp_Click();
    EXPECT_EQ(Shown(0), program);

    // Edited: the row shows its new target's icon.
    WriteEntry(main_->List1, folder, kKindFolder, EntryFields{L"win", Windows() + L"\\notepd.exe", L"", L"", L""});
    ASSERT_TRUE(AllArrive());
    EXPECT_EQ(icons().ImageOf(1), gone);
    WriteEntry(main_->List1, folder, kKindFolder, EntryFields{L"win", Windows(), L"", L"", L""});
    EXPECT_EQ(Shown(1), folderIcon);

    // Added: a new row gets its own; one for a known target at once.
    Add(kKindProgram, L"np2", L"%SystemRoot%\\notepad.exe");
    EXPECT_EQ(Shown(2), program);

    // Deleted: the rows below move up with their icons.
    PromptRecorder yes(IDYES);
    main_->List1.Select(0);
    main_->CmdDel_Click();
    ASSERT_EQ(main_->List1.Count(), 2);
    EXPECT_EQ(Shown(0), folderIcon);
    EXPECT_EQ(Shown(1), program);
}

TEST_F(ListIconsTest, TheIconSizeFollowsTheWindowsDpi) {
    Add(kKindProgram, L"np", Windows() + L"\\notepad.exe");
    ASSERT_TRUE(AllArrive());
    const int small = icons().IconSize();
    for (const int dpi : {144, 96}) {
        SCOPED_TRACE(dpi);
        icons().SetIconDpi(dpi);
        const int size = SmallIconSize(dpi);
        EXPECT_EQ(icons().IconSize(), size);
        int width = 0, height = 0;
        ImageList_GetIconSize(icons().Images(), &width, &height);
        EXPECT_EQ(width, size);
        // Looked up again at the new size.
        ASSERT_TRUE(AllArrive());
        EXPECT_GE(icons().ImageOf(0), ListIcons::kGoneImage + 1);
    }
    EXPECT_EQ(icons().IconSize(), small);
    EXPECT_GE(SmallIconSize(144), SmallIconSize(96));
}

namespace {

// A look-up that hangs, as one on a share that does not answer does, until
// the test lets it go.
struct HangingShare {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~HangingShare() {
        SetEvent(release);
        WaitForSingleObject(ended, 10000);  // nothing of this test lives on
        CloseHandle(release);
        CloseHandle(ended);
    }
    IconLookup::LookUp LookUp() {
        return [this](const std::wstring& path, int) {
            FoundIcon found;
            if (path.rfind(L"\\\\", 0) == 0) {
                WaitForSingleObject(release, INFINITE);
                SetEvent(ended);
            }
            found.gone = true;
            return found;
        };
    }
};

}  // namespace

TEST(IconLookup, AShareThatHangsHoldsUpNeitherLocalTargetsNorTheEnd) {
    constexpr UINT kFound = WM_APP + 40;
    HangingShare share;
    auto lookup = std::make_unique<IconLookup>(nullptr, kFound, share.LookUp());
    lookup->Request(L"share", L"\\\\server\\share\\tool.exe", 16, 1);
    lookup->Request(L"local", L"C:\\tools\\tool.exe", 16, 1);
    std::vector<FoundIcon> found;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        for (FoundIcon& f : lookup->Take()) found.push_back(std::move(f));
        return !found.empty();
    }, 10000));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].key, L"local");
    EXPECT_EQ(WaitForSingleObject(share.ended, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // Closing does not wait for the share: the look-up is still stuck when it returns.
    lookup.reset();
    EXPECT_EQ(WaitForSingleObject(share.ended, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}
