#include <cstdlib>

#include "catalogue/CatalogueFile.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ObjectCounts.h"

using testsupport::ReadBytes;

namespace {

int Cycles() {
    // Under Wine one cycle costs about 0.4 s (two dialog windows, two shell
    // link writes, two saves of 1,000 entries), so CI runs 1,000 cycles;
    // TARVOLO_SOAK_CYCLES=10000 runs the long soak by hand (about 70 min).
    const char* env = std::getenv("TARVOLO_SOAK_CYCLES");
    return env && *env ? std::atoi(env) : 1000;
}

// What a cycle could leave behind: GDI objects (fonts, brushes, bitmaps of
// the dialogs), windows of this process (its dialogs and their controls,
// message-only ones included) and kernel handles.
struct Objects {
    int gdi = 0;
    int windows = 0;
    DWORD handles = 0;
};

Objects CountObjects() {
    Objects o;
    o.gdi = CountGdiObjects();
    o.windows = CountProcessWindows();
    GetProcessHandleCount(GetCurrentProcess(), &o.handles);
    return o;
}

}  // namespace

// Add, edit and delete through the dialogs' own code paths, over and over, on
// a catalogue of 1,000 entries: the list, the file and the shortcuts agree
// at the end, and nothing piles up.
TEST_F(AppTest, SoakAddEditDeleteCycles) {
    constexpr int kBase = 1000;
    std::vector<WideRow> base;
    for (int i = 0; i < kBase; ++i) {
        const std::wstring n = std::to_wstring(i);
        base.push_back({L"应用程序", L"base" + n, L"C:\\程序\\" + n + L".exe", L"C:\\程序\\", L"", L"注释"});
    }
    ASSERT_TRUE(SaveCatalogueFile(Catalogue().wstring(), base).ok);
    main_.reset();
    main_ = OpenMain(dir_);
    main_->Windir = windows_.path().wstring();
    ASSERT_EQ(main_->List1.Count(), kBase);
    const std::string saved = ReadBytes(Catalogue());

    // The GDI count must see objects come and go, or it could not see a leak.
    {
        const int before = CountGdiObjects();
        HBRUSH brushes[10];
        for (auto& b : brushes) b = CreateSolidBrush(RGB(1, 2, 3));
        const int during = CountGdiObjects();
        for (auto& b : brushes) DeleteObject(b);
        ASSERT_EQ(during - before, 10) << "the GDI object count does not follow the objects made";
        ASSERT_EQ(CountGdiObjects(), before);
    }

    PromptRecorder prompts(IDYES);
    const int cycles = Cycles();
    Objects before;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        const std::wstring name = L"soak" + std::to_wstring(cycle);
        main_->CmdAddP_Click();
        Fill(main_->FrmAddP(), L"C:\\windows\\notepad.exe", name, L"C:\\", L"", L"浸泡");
        main_->FrmAddP().CmdOK_Click();
        ASSERT_EQ(main_->List1.Count(), kBase + 1) << cycle;

        main_->CmdEdit_Click();  // the new row is selected
        main_->FrmEditP().SetText(EntryDialog::IdTxtName, name + L"e");
        main_->FrmEditP().CmdOK_Click();
        ASSERT_EQ(main_->List1.SubItem(kBase, 2), name + L"e") << cycle;

        main_->CmdDel_Click();
        ASSERT_EQ(main_->List1.Count(), kBase) << cycle;
        ASSERT_FALSE(std::filesystem::exists(Lnk(name + L"e"))) << cycle;
        ASSERT_FALSE(std::filesystem::exists(Lnk(name))) << cycle;
        testsupport::PumpMessages();
        if (cycle == 9) before = CountObjects();  // every cache warmed up by the first few cycles
    }
    // Two messages per cycle: the add's success and the delete's question.
    EXPECT_EQ(prompts.calls.size(), static_cast<size_t>(2 * cycles));
    ASSERT_TRUE(main_->CmdTmp_Click());
    EXPECT_EQ(ReadBytes(Catalogue()), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(windows_ / L"system"),
                            std::filesystem::directory_iterator()),
              0);
    if (cycles > 10) {
        // A few objects of slack for what the system caches on its own; one
        // object left per cycle is hundreds.
        const Objects after = CountObjects();
        EXPECT_EQ(after.windows, before.windows) << "windows grow with the cycles";
        EXPECT_LE(after.gdi, before.gdi + 8) << "GDI objects grow with the cycles";
        EXPECT_LE(after.handles, before.handles + 16) << "kernel handles grow with the cycles";
    }
}
