#pragma once
// Shared set-up for the main window and dialog tests: a main window over a
// catalogue in a temporary folder, a stand-in Windows directory with its
// `system` folder, and message boxes answered by the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "app/frmMain.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserEnvironmentGuard.h"

struct PromptCall {
    std::wstring text, title;
    UINT style;
};

// Answers every message box with `answer` and records it.
class PromptRecorder {
public:
    explicit PromptRecorder(int answer = IDOK) : answer_(answer) {
        previous_ = SetPromptHandler([this](HWND, const std::wstring& text, const std::wstring& title, UINT style) {
            calls.push_back({text, title, style});
            return answer_;
        });
    }
    ~PromptRecorder() { SetPromptHandler(previous_); }
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;
    void Answer(int answer) { answer_ = answer; }
    std::vector<PromptCall> calls;

private:
    int answer_;
    PromptHandler previous_;
};

using testsupport::AnsiLines;

// The start-up alias check stays off: these catalogues name shortcuts the
// tests never wrote (AliasCheckTest turns it on).
inline std::unique_ptr<frmMain> OpenMain(const testsupport::TempDir& dir, bool checkAliases = false) {
    frmMain::Options options;
    options.catalogueFolder = dir.path().wstring();
    options.quitOnDestroy = false;
    options.checkAliases = checkAliases;
    auto main = std::make_unique<frmMain>(options);
    EXPECT_TRUE(main->Create());
    testsupport::PumpMessages();
    return main;
}

inline std::wstring WindowText(HWND h) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A main window whose Windows directory is a temporary folder with a
// `system` subfolder, so shortcuts land where the test can see them. The
// per-user alias folder, used when that folder is missing, is in a
// temporary folder too, and the user's registry environment is put back.
class AppTest : public testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"LOCALAPPDATA", local_.path().c_str());
        std::filesystem::create_directory(windows_ / L"system");
        main_ = OpenMain(dir_);
        main_->Windir = windows_.path().wstring();
    }
    void TearDown() override { main_.reset(); }

    std::filesystem::path Lnk(const std::wstring& name) const { return windows_ / L"system" / (name + L".lnk"); }
    std::filesystem::path Catalogue() const { return dir_ / L"applist.ini"; }
    void AddRow(std::initializer_list<std::wstring> fields) {
        const int row = main_->List1.AddRow();
        int sub = 1;
        for (const auto& f : fields) main_->List1.SetSubItem(row, sub++, f);
    }
    // Fills the five fields of an open dialog.
    static void Fill(EntryDialog& d, const std::wstring& path, const std::wstring& name, const std::wstring& work,
                     const std::wstring& args = L"", const std::wstring& comment = L"") {
        d.SetText(EntryDialog::IdTxtPath, path);
        d.SetText(EntryDialog::IdTxtName, name);
        d.SetText(EntryDialog::IdTxtWork, work);
        d.SetText(EntryDialog::IdTxtArg, args);
        d.SetText(EntryDialog::IdTxtCom, comment);
    }

    testsupport::UserEnvironmentGuard environment_;  // first in, last out
    testsupport::TempDir local_;
    testsupport::TempDir dir_;
    testsupport::TempDir windows_;
    std::unique_ptr<frmMain> main_;
};
