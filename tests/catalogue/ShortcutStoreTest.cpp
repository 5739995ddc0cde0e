#include "catalogue/ShortcutStore.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Link {
    std::wstring target, args, workDir, description;
    WORD hotkey = 0;
    std::wstring iconPath;
    int iconIndex = 0;
};

ComRef<IShellLinkW> NewShellLink() {
    ComRef<IShellLinkW> link;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               link.put_void()),
              S_OK);
    return link;
}

ComRef<IPersistFile> PersistOf(const ComRef<IShellLinkW>& link) {
    ComRef<IPersistFile> file;
    EXPECT_EQ(link->QueryInterface(IID_IPersistFile, file.put_void()), S_OK);
    return file;
}

Link ReadLink(const fs::path& file) {
    Link out;
    const ComRef<IShellLinkW> link = NewShellLink();
    EXPECT_EQ(PersistOf(link)->Load(file.c_str(), STGM_READ), S_OK) << file;
    wchar_t buffer[1024] = {};
    link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
    out.target = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, 1024);
    out.args = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, 1024);
    out.workDir = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, 1024);
    out.description = buffer;
    link->GetHotkey(&out.hotkey);
    buffer[0] = 0;
    link->GetIconLocation(buffer, 1024, &out.iconIndex);
    out.iconPath = buffer;
    return out;
}

// A temp folder standing in for the Windows directory, with its "system"
// subfolder and a couple of real targets.
class ShortcutStoreTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(system());
        fs::create_directory(tools());
        testsupport::WriteBytes(program(), "MZ");
    }
    std::wstring windir() const { return dir_.path().wstring(); }
    fs::path system() const { return dir_ / L"system"; }
    fs::path tools() const { return dir_ / L"工具 箱"; }
    std::wstring program() const { return (tools() / L"记事本.exe").wstring(); }
    fs::path lnk(const std::wstring& name) const { return system() / (name + L".lnk"); }
    size_t FilesInSystem() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(system()), fs::directory_iterator()));
    }

    testsupport::TempDir dir_;
    WshShellObject shell_;
};

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

TEST(ShortcutPath, IsPlainConcatenation) {
    EXPECT_EQ(GetShortcutPath(L"C:\\WINDOWS", L"np"), L"C:\\WINDOWS\\system\\np.lnk");
    EXPECT_EQ(GetShortcutPath(L"C:\\WINDOWS", L" Np "), L"C:\\WINDOWS\\system\\ Np .lnk");
    EXPECT_EQ(GetShortcutPath(L"D:\\Win", L"记事本"), L"D:\\Win\\system\\记事本.lnk");
}

TEST_F(ShortcutStoreTest, WritesTheFourPropertiesReadableBack) {
    struct Case {
        std::wstring name, path, args, workDir, comment;
    };
    const std::wstring folder = tools().wstring();
    const Case cases[] = {
        {L"np", program(), L"/a \"b c\"", folder + L"\\", L"Note pad"},
        {L"记事本", program(), L"参数 一", folder, L"中文注释"},
        {L"empty", program(), L"", folder + L"\\", L""},
        {L"dir", folder, L"", folder, L"工具 箱"},  // a folder entry
    };
    for (const Case& c : cases) {
        const ShortcutResult r = WriteShortcut(shell_, windir(), c.name, c.path, c.args, c.workDir, c.comment);
        ASSERT_TRUE(r.ok()) << r.reason;
        EXPECT_EQ(r.path, lnk(c.name).wstring());
        const Link link = ReadLink(lnk(c.name));
        EXPECT_TRUE(SamePath(link.target, c.path)) << testing::PrintToString(link.target);
        EXPECT_EQ(link.args, c.args);
        EXPECT_EQ(link.workDir, c.workDir);
        EXPECT_EQ(link.description, c.comment);
    }
    EXPECT_EQ(FilesInSystem(), std::size(cases));
}

TEST_F(ShortcutStoreTest, LeftoverFileKeepsWhatTheStoreDoesNotSet) {
    {
        const ComRef<IShellLinkW> link = NewShellLink();
        link->SetPath(program().c_str());
        link->SetHotkey(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
        link->SetIconLocation(L"C:\\windows\\system32\\shell32.dll", 3);
        link->SetDescription(L"old");
        ASSERT_EQ(PersistOf(link)->Save(lnk(L"np").c_str(), TRUE), S_OK);
    }
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"np", program(), L"-x", tools().wstring(), L"new").ok());
    const Link kept = ReadLink(lnk(L"np"));
    EXPECT_EQ(kept.description, L"new");
    EXPECT_EQ(kept.args, L"-x");
    EXPECT_EQ(kept.hotkey, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(kept.iconPath, L"C:\\windows\\system32\\shell32.dll");
    EXPECT_EQ(kept.iconIndex, 3);

    // An edit with the same name deletes first, so the file is written afresh.
    ASSERT_TRUE(RewriteShortcut(shell_, windir(), L"np", L"np", program(), L"", tools().wstring(), L"again").ok());
    const Link fresh = ReadLink(lnk(L"np"));
    EXPECT_EQ(fresh.description, L"again");
    EXPECT_EQ(fresh.args, L"");
    EXPECT_EQ(fresh.hotkey, 0);
    EXPECT_EQ(FilesInSystem(), 1u);
}

TEST_F(ShortcutStoreTest, RenameLeavesNoOldFile) {
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"A", program(), L"", tools().wstring(), L"").ok());
    const ShortcutResult r = RewriteShortcut(shell_, windir(), L"A", L"B", program(), L"1", tools().wstring(), L"b");
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_FALSE(fs::exists(lnk(L"A")));
    EXPECT_EQ(ReadLink(lnk(L"B")).description, L"b");
    EXPECT_EQ(FilesInSystem(), 1u);

    // A new name the store refuses costs the old shortcut nothing.
    EXPECT_EQ(RewriteShortcut(shell_, windir(), L"B", L"B|C", program(), L"", tools().wstring(), L"").hr,
              HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
    EXPECT_TRUE(fs::exists(lnk(L"B")));

    // A missing old file does not stop the write.
    ASSERT_TRUE(RewriteShortcut(shell_, windir(), L"gone", L"C", program(), L"", tools().wstring(), L"").ok());
    EXPECT_TRUE(fs::exists(lnk(L"C")));
}

TEST_F(ShortcutStoreTest, NamesDifferingInCaseShareOneFile) {
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"np", program(), L"", tools().wstring(), L"lower").ok());
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"NP", program(), L"", tools().wstring(), L"upper").ok());
    EXPECT_EQ(FilesInSystem(), 1u);
    EXPECT_EQ(ReadLink(lnk(L"np")).description, L"upper");
    EXPECT_TRUE(DeleteShortcut(windir(), L"Np").ok());
    EXPECT_EQ(FilesInSystem(), 0u);
}

TEST_F(ShortcutStoreTest, DeleteReportsAMissingFile) {
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"np", program(), L"", tools().wstring(), L"").ok());
    EXPECT_TRUE(DeleteShortcut(windir(), L"np").ok());
    EXPECT_FALSE(fs::exists(lnk(L"np")));
    const ShortcutResult again = DeleteShortcut(windir(), L"np");
    EXPECT_FALSE(again.ok());
    EXPECT_EQ(again.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(again.reason.empty());
}

TEST_F(ShortcutStoreTest, MissingSystemFolderIsAFailureNotSuccess) {
    fs::remove(system());
    const ShortcutResult r = WriteShortcut(shell_, windir(), L"np", program(), L"", tools().wstring(), L"");
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(r.folder, windir() + L"\\system\\");
    EXPECT_FALSE(fs::exists(system()));  // never created by the store

    // The dialog's shell object survives the failure and is reused.
    ASSERT_TRUE(shell_);
    IDispatch* const first = shell_.get();
    fs::create_directory(system());
    EXPECT_TRUE(WriteShortcut(shell_, windir(), L"np", program(), L"", tools().wstring(), L"").ok());
    EXPECT_EQ(shell_.get(), first);
}

TEST_F(ShortcutStoreTest, UnsafeNamesTouchNothing) {
    // Files a careless name could reach: one beside the shortcut folder, and
    // one a NUL inside the name would cut the ".lnk" from.
    testsupport::WriteBytes(dir_ / L"victim.lnk", "keep");
    testsupport::WriteBytes(system() / L"victim", "keep");
    for (const std::wstring& name : {std::wstring(L"..\\victim"), std::wstring(L"victim\0", 7),
                                     std::wstring(L"a/b"), std::wstring(L"np:x"), std::wstring()}) {
        const ShortcutResult del = DeleteShortcut(windir(), name);
        EXPECT_EQ(del.hr, HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
        EXPECT_FALSE(del.reason.empty());
        const ShortcutResult write = WriteShortcut(shell_, windir(), name, program(), L"", tools().wstring(), L"");
        EXPECT_EQ(write.hr, HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
    }
    for (const wchar_t* name : {L"con", L"np ", L"np."}) {
        EXPECT_EQ(WriteShortcut(shell_, windir(), name, program(), L"", tools().wstring(), L"").hr,
                  HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
    }
    EXPECT_EQ(testsupport::ReadBytes(dir_ / L"victim.lnk"), "keep");
    EXPECT_EQ(testsupport::ReadBytes(system() / L"victim"), "keep");
    EXPECT_EQ(FilesInSystem(), 1u);

    // A trailing blank, which older catalogues may hold, still deletes its file.
    testsupport::WriteBytes(lnk(L"np "), "old");
    EXPECT_TRUE(DeleteShortcut(windir(), L"np ").ok());
}

TEST_F(ShortcutStoreTest, NoHandleOnAShortcutOutlivesAnOperation) {
    // Only a file nobody holds opens without sharing.
    const auto free = [&](const std::wstring& name) {
        HANDLE h = CreateFileW(lnk(name).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                               0, nullptr);
        const bool ok = h != INVALID_HANDLE_VALUE;
        if (ok) CloseHandle(h);
        return ok;
    };
    {
        // A rewrite of a file with a hot key also reads it and writes it back.
        const ComRef<IShellLinkW> link = NewShellLink();
        link->SetPath(program().c_str());
        link->SetHotkey(MAKEWORD('K', HOTKEYF_CONTROL));
        ASSERT_EQ(PersistOf(link)->Save(lnk(L"kept").c_str(), TRUE), S_OK);
    }
    const struct {
        const wchar_t* name;
        const char* what;
    } cases[] = {{L"new", "a new shortcut"}, {L"kept", "a rewrite keeping the hot key"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteShortcut(shell_, windir(), c.name, program(), L"", tools().wstring(), L"x").ok()) << c.what;
        EXPECT_TRUE(free(c.name)) << c.what;
        ASSERT_TRUE(RewriteShortcut(shell_, windir(), c.name, c.name, program(), L"-y", tools().wstring(), L"y").ok());
        EXPECT_TRUE(free(c.name)) << c.what << ", rewritten";
        // The delete is done when it returns: the name is free at once.
        ASSERT_TRUE(DeleteShortcut(windir(), c.name).ok()) << c.what;
        EXPECT_FALSE(fs::exists(lnk(c.name))) << c.what;
        HANDLE again = CreateFileW(lnk(c.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        EXPECT_NE(again, INVALID_HANDLE_VALUE) << c.what;
        if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    }
}
