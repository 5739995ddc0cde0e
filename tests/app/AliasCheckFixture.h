#pragma once
// The main window over a catalogue of program entries, with the start-up
// alias check on: for the tests of what the Run box makes of the aliases.
#include "tests/app/AppFixture.h"

#include <memory>
#include <string>
#include <vector>

#include "catalogue/AliasStore.h"

class AliasCheckTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        testsupport::WriteBytes(tool(), "MZ");
    }
    std::wstring tool() const { return (windows_ / L"tool.exe").wstring(); }
    std::filesystem::path UserLnk(const std::wstring& name) const { return local_ / L"Tarvolo\\Aliases" / (name + L".lnk"); }
    // A catalogue of program entries on tool.exe, one per name.
    void WriteCatalogue(const std::vector<std::wstring>& names) {
        std::string bytes;
        for (const auto& n : names) {
            bytes += AnsiLines({L"应用程序", n, tool(), windows_.path().wstring() + L"\\", L"", n});
        }
        testsupport::WriteBytes(Catalogue(), bytes);
    }
    // The main window again, with the start-up check, over the test's
    // Windows directory.
    void Reopen() {
        OpenWithCheck();
        if (HasFatalFailure()) return;
        // The check runs in the background; its question comes by message.
        ASSERT_TRUE(testsupport::PumpUntil([&] { return !main_->AliasCheckPending(); }));
        testsupport::PumpMessages();
    }
    // The same window without waiting for the check.
    void OpenWithCheck() {
        main_.reset();
        frmMain::Options options;
        options.catalogueFolder = dir_.path().wstring();
        options.quitOnDestroy = false;
        options.windowsFolder = windows_.path().wstring();
        main_ = std::make_unique<frmMain>(options);
        ASSERT_TRUE(main_->Create());
    }
    void WriteAlias(const std::wstring& name, const std::wstring& target,
                    const std::wstring& workDir = {}) {
        WshShellObject shell;
        ASSERT_TRUE(AliasStore(windows_.path().wstring())
                        .Write(shell, name, target, L"", workDir.empty() ? windows_.path().wstring() + L"\\" : workDir,
                               name)
                        .ok());
    }
};

