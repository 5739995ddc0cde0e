#include "catalogue/AliasStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "catalogue/LinkReader.h"
#include "catalogue/RunSearch.h"
#include "catalogue/UserPath.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserEnvironmentGuard.h"

namespace fs = std::filesystem;
using testsupport::ReadUserPathValue;
using testsupport::RegValue;
using testsupport::TextValue;
using testsupport::WriteUserPathValue;

namespace {

std::wstring TextOf(const RegValue& v) {
    std::wstring text(reinterpret_cast<const wchar_t*>(v.bytes.data()), v.bytes.size() / 2);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// A Windows directory without its "system" folder, as on a machine where
// the program may not write there, and a LOCALAPPDATA of the test's own.
class AliasStoreTest : public testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"LOCALAPPDATA", local_.path().c_str());
        testsupport::WriteBytes(program(), "MZ");
    }
    void TearDown() override { EXPECT_TRUE(env_.ChangedBesidesPath().empty()); }

    std::wstring windir() const { return windows_.path().wstring(); }
    std::wstring userFolder() const { return (local_ / L"Tarvolo\\Aliases\\").wstring(); }
    std::wstring program() const { return (windows_ / L"工具.exe").wstring(); }
    ShortcutResult Add(AliasStore& store, const std::wstring& name, const std::wstring& comment = L"") {
        return store.Write(shell_, name, program(), L"-a", windir() + L"\\", comment);
    }

    testsupport::UserEnvironmentGuard env_;  // first in, last out
    testsupport::TempDir windows_;
    testsupport::TempDir local_;
    WshShellObject shell_;
};

}  // namespace

TEST_F(AliasStoreTest, WithoutASystemFolderTheAliasGoesToThePerUserFolderOnThePathTypedRight) {
    std::wstring longPath;
    while (longPath.size() < 2500) longPath += L"C:\\Program Files\\Tool " + std::to_wstring(longPath.size()) + L";";
    struct Case {
        std::optional<RegValue> before;
        DWORD type;
        std::wstring after;  // empty: the before text + ";" + the expandable entry
    };
    const std::wstring entry = L"%LOCALAPPDATA%\\Tarvolo\\Aliases";
    const Case cases[] = {
        {std::nullopt, REG_EXPAND_SZ, entry},
        {TextValue(REG_EXPAND_SZ, L"%SystemRoot%\\bin;"), REG_EXPAND_SZ, L"%SystemRoot%\\bin;;" + entry},
        {TextValue(REG_SZ, longPath), REG_SZ, longPath + L";" + fs::path(userFolder()).parent_path().wstring()},
        {TextValue(REG_EXPAND_SZ, L"C:\\a;;C:\\b"), REG_EXPAND_SZ, L"C:\\a;;C:\\b;" + entry},
    };
    for (const Case& c : cases) {
        WriteUserPathValue(c.before);
        AliasStore store(windir());
        const ShortcutResult r = Add(store, L"np", L"记事本");
        ASSERT_TRUE(r.ok()) << r.reason;
        EXPECT_TRUE(store.IsUserFolder(r.folder));
        EXPECT_EQ(r.path, userFolder() + L"np.lnk");
        EXPECT_TRUE(fs::exists(r.path));
        EXPECT_FALSE(fs::exists(windows_ / L"system"));  // the system folder is never created
        const std::optional<RegValue> path = ReadUserPathValue();
        ASSERT_TRUE(path);
        EXPECT_EQ(path->type, c.type);
        EXPECT_EQ(TextOf(*path), c.after);
        // A second alias adds nothing more.
        ASSERT_TRUE(Add(store, L"np2").ok());
        EXPECT_EQ(TextOf(*ReadUserPathValue()), c.after);

        // The shell's search finds the shortcut through the new PATH.
        EXPECT_TRUE(SameFile(RunSearch(windir()).Resolve(L"np"), r.path));
        EXPECT_EQ(store.Find(L"np"), r.path);

        // Deleting the last per-user alias gives the old value back, byte for byte.
        ASSERT_TRUE(store.Delete(L"np").ok());
        EXPECT_EQ(TextOf(*ReadUserPathValue()), c.after);
        ASSERT_TRUE(store.Delete(L"np2").ok());
        EXPECT_EQ(ReadUserPathValue(), c.before) << testing::PrintToString(c.after);
        EXPECT_TRUE(RunSearch(windir()).Resolve(L"np").empty());
    }
}

TEST_F(AliasStoreTest, AWritableSystemFolderIsUsedAndThePathLeftAlone) {
    fs::create_directory(windows_ / L"system");
    const RegValue before = TextValue(REG_EXPAND_SZ, L"C:\\bin");
    WriteUserPathValue(before);
    AliasStore store(windir());
    const ShortcutResult r = Add(store, L"np");
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.path, windir() + L"\\system\\np.lnk");
    EXPECT_FALSE(store.IsUserFolder(r.folder));
    EXPECT_EQ(ReadUserPathValue(), before);
    EXPECT_FALSE(fs::exists(userFolder()));
    // The probe leaves nothing behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(windows_ / L"system"), fs::directory_iterator()), 1);
    EXPECT_TRUE(SameFile(RunSearch(windir()).Resolve(L"np"), r.path));
}

TEST_F(AliasStoreTest, APathThatCannotTakeTheFolderWritesNothingAndSaysWhy) {
    struct Case {
        const char* what;
        std::optional<RegValue> value;
    };
    RegValue binary;
    binary.type = REG_BINARY;
    binary.bytes = {'C', 0, ':', 0};
    RegValue number;
    number.type = REG_DWORD;
    number.bytes = {1, 0, 0, 0};
    const Case cases[] = {
        {"binary", binary},
        {"number", number},
        {"near the limit", TextValue(REG_EXPAND_SZ, std::wstring(32760, L'x'))},
    };
    for (const Case& c : cases) {
        WriteUserPathValue(c.value);
        AliasStore store(windir());
        const ShortcutResult r = Add(store, L"np");
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_FALSE(r.reason.empty()) << c.what;
        EXPECT_FALSE(fs::exists(userFolder() + L"np.lnk")) << c.what;
        EXPECT_EQ(ReadUserPathValue(), c.value) << c.what;
    }
    // Exactly at the limit still fits.
    const std::wstring entry = L";%LOCALAPPDATA%\\Tarvolo\\Aliases";
    WriteUserPathValue(TextValue(REG_EXPAND_SZ, std::wstring(kMaxPathValueLength - entry.size(), L'y')));
    AliasStore store(windir());
    EXPECT_TRUE(Add(store, L"np").ok());
    EXPECT_EQ(TextOf(*ReadUserPathValue()).size(), kMaxPathValueLength);
}

TEST_F(AliasStoreTest, NoUsableLocalAppDataOrRegistryMeansNoAliasAndAReason) {
    WriteUserPathValue(TextValue(REG_EXPAND_SZ, L"C:\\bin"));
    const RegValue before = *ReadUserPathValue();
    testsupport::WriteBytes(local_ / L"Tarvolo", "a file where the folder should be");
    struct Case {
        const char* what;
        const wchar_t* local;  // nullptr: unset
        UserPathKey key;
    };
    UserPathKey unopenable;
    unopenable.subkey = L"Software\\" + std::wstring(300, L'k');  // longer than a key name may be
    const Case cases[] = {
        {"unset", nullptr, {}},
        {"relative", L"AppData\\Local", {}},
        {"with a semicolon", L"C:\\a;b", {}},
        {"folder not creatable", local_.path().c_str(), {}},
        {"registry not writable", (local_ / L"ok").c_str(), unopenable},
    };
    for (const Case& c : cases) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", c.local);
        AliasStore store(windir(), c.key);
        const ShortcutResult r = Add(store, L"np");
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_FALSE(r.reason.empty()) << c.what;
        EXPECT_EQ(ReadUserPathValue(), before) << c.what;
    }
    EXPECT_FALSE(fs::exists(local_ / L"ok\\Tarvolo\\Aliases\\np.lnk"));
}

TEST_F(AliasStoreTest, OneAliasOnePlaceAcrossBothFolders) {
    WriteUserPathValue(TextValue(REG_SZ, L"C:\\bin"));
    const RegValue before = *ReadUserPathValue();
    AliasStore store(windir());
    ASSERT_TRUE(Add(store, L"a", L"first").ok());
    // The system folder appears later: a rename stays in the per-user folder.
    fs::create_directory(windows_ / L"system");
    const ShortcutResult renamed =
        store.Rewrite(shell_, L"a", L"b", program(), L"", windir() + L"\\", L"renamed");
    ASSERT_TRUE(renamed.ok()) << renamed.reason;
    EXPECT_TRUE(store.IsUserFolder(renamed.folder));
    EXPECT_FALSE(fs::exists(userFolder() + L"a.lnk"));
    // A new alias goes to the system folder now.
    EXPECT_FALSE(store.IsUserFolder(Add(store, L"c").folder));

    // The same name in both folders with different targets: the system copy
    // is what the Run box opens, and delete takes both.
    testsupport::WriteBytes(windows_ / L"other.exe", "MZ");
    ASSERT_TRUE(WriteShortcutAt(shell_, store.SystemFolder(), L"b", (windows_ / L"other.exe").wstring(), L"",
                                windir() + L"\\", L"other")
                    .ok());
    EXPECT_EQ(store.Find(L"b"), store.SystemFolder() + L"b.lnk");
    Entry b;
    b.fields = {kKindProgram, L"b", program(), windir() + L"\\", L"", L"renamed"};
    EXPECT_EQ(store.Inspect({b})[0].state, AliasState::Different);
    ASSERT_TRUE(store.Delete(L"b").ok());
    EXPECT_TRUE(store.Find(L"b").empty());
    EXPECT_FALSE(fs::exists(userFolder() + L"b.lnk"));
    EXPECT_EQ(ReadUserPathValue(), before) << testing::PrintToString(TextOf(*ReadUserPathValue()));
    EXPECT_FALSE(store.Delete(L"b").ok());
}

TEST_F(AliasStoreTest, InspectionReadsBackEveryEntryWithOneReaderAndNamesWhatTheSearchFinds) {
    fs::create_directory(windows_ / L"system");
    AliasStore store(windir());
    const auto entry = [&](const wchar_t* name, const wchar_t* args, const wchar_t* comment) {
        Entry e;
        e.fields = {kKindProgram, name, program(), windir() + L"\\", args, comment};
        return e;
    };
    // notepad comes from System32 first. Names that could throw the search
    // off: dots in a name, ".lnk" itself, the name of a folder the search
    // passes through (C:\windows\system).
    const std::vector<Entry> entries = {entry(L"with", L"-x", L"甲"),    entry(L"without", L"", L""),
                                        entry(L"notepad", L"", L""),    entry(L"my.app", L"", L""),
                                        entry(L"gone", L"", L""),       entry(L"changed", L"", L""),
                                        entry(L".lnk", L"", L"dot"),    entry(L"system", L"", L"")};
    for (const Entry& e : entries) {
        if (e.Name() == L"gone") continue;
        ASSERT_TRUE(store.Write(shell_, e.Name(), e.Path(), e.Args(), e.WorkDir(),
                                e.Name() == L"changed" ? L"behind our back" : e.Comment())
                        .ok());
    }
    const std::vector<AliasStore::Finding> found = store.Inspect(entries);
    ASSERT_EQ(found.size(), entries.size());
    EXPECT_EQ(found[0].state, AliasState::Ok);
    EXPECT_EQ(found[1].state, AliasState::Ok);  // nothing of the first entry's arguments carried over
    EXPECT_EQ(found[2].state, AliasState::Shadowed);
    EXPECT_EQ(fs::path(found[2].opens).filename(), L"notepad.exe");
    EXPECT_EQ(found[4].state, AliasState::Missing);
    EXPECT_EQ(found[4].shortcut, store.SystemFolder() + L"gone.lnk");
    EXPECT_EQ(found[5].state, AliasState::Different);
    // Whether the shell tries the program extensions after a name that has
    // one of its own ("my.app", ".lnk") is its own business: Wine 8 does;
    // Wine 10 does not, as Windows' documented search adds an extension only
    // to a name without one. The inspection says what the search says.
    for (const size_t dotted : {size_t{3}, size_t{6}}) {
        const std::wstring opens = RunSearch(windir()).Resolve(entries[dotted].Name());
        EXPECT_EQ(found[dotted].state, opens.empty() ? AliasState::Unreached : AliasState::Ok)
            << testing::PrintToString(entries[dotted].Name()) << testing::PrintToString(found[dotted].opens);
        if (!opens.empty()) EXPECT_TRUE(SameFile(opens, found[dotted].shortcut));
    }
    EXPECT_EQ(found[7].state, AliasState::Ok) << testing::PrintToString(found[7].opens);
    EXPECT_TRUE(RunSearch(windir()).Resolve(L"no-such-alias-anywhere").empty());
    EXPECT_TRUE(RunSearch(windir()).Resolve(std::wstring(300, L'x')).empty());
}

TEST_F(AliasStoreTest, TheSearchLeavesTheProcessPathAndFolderAsTheyWereAndIgnoresTheProgramsFolder) {
    WriteUserPathValue(TextValue(REG_EXPAND_SZ, L"%LOCALAPPDATA%\\bin"));
    // A program beside ours is not what the Run box opens.
    const fs::path folder = fs::current_path();
    const testsupport::TempDir ours;
    fs::current_path(ours.path());
    testsupport::WriteBytes(ours / L"besideus.exe", "MZ");
    EXPECT_TRUE(RunSearch(windir()).Resolve(L"besideus").empty());
    EXPECT_EQ(fs::current_path(), ours.path());
    fs::current_path(folder);
    wchar_t before[32768];
    const DWORD n = GetEnvironmentVariableW(L"PATH", before, 32768);
    // The user's PATH from the registry is searched (the process's own
    // lacks it), and the process's PATH is left alone: it is process-wide,
    // and another thread may be starting a program meanwhile.
    fs::create_directories(local_ / L"bin");
    testsupport::WriteBytes(local_ / L"bin" / L"onuserpath.exe", "MZ");
    {
        const RunSearch search(windir());
        EXPECT_TRUE(SamePathText(search.Resolve(L"onuserpath"), (local_ / L"bin" / L"onuserpath.exe").wstring()));
        wchar_t during[32768];
        GetEnvironmentVariableW(L"PATH", during, 32768);
        EXPECT_EQ(std::wstring(during), std::wstring(before));
    }
    wchar_t after[32768];
    EXPECT_EQ(GetEnvironmentVariableW(L"PATH", after, 32768), n);
    EXPECT_EQ(std::wstring(after), std::wstring(before));
    // Searches on two threads at once both find it and leave the
    // process's PATH and folder as they were.
    bool found[2] = {true, true};
    {
        const auto searches = [&](bool* ok) {
            for (int i = 0; i < 40; ++i) *ok = *ok && !RunSearch(windir()).Resolve(L"onuserpath").empty();
        };
        std::thread one(searches, &found[0]), two(searches, &found[1]);
        one.join();
        two.join();
    }
    EXPECT_TRUE(found[0] && found[1]);
    EXPECT_EQ(GetEnvironmentVariableW(L"PATH", after, 32768), n);
    EXPECT_EQ(std::wstring(after), std::wstring(before));
    EXPECT_EQ(fs::current_path(), folder);
}

TEST_F(AliasStoreTest, AnInspectionAskedToStopEndsBeforeTheNextEntry) {
    fs::create_directory(windows_ / L"system");
    AliasStore store(windir());
    std::vector<Entry> entries(3);
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].fields = {L"应用程序", L"s" + std::to_wstring(i), program(), windir() + L"\\", L"", L""};
    }
    std::atomic<bool> stop{false};
    EXPECT_EQ(store.Inspect(entries, &stop).size(), 3u);
    stop = true;
    EXPECT_TRUE(store.Inspect(entries, &stop).empty());
}

TEST_F(AliasStoreTest, TheQuickAnswerForManyAliasesIsTheSearchsOwn) {
    fs::create_directory(windows_ / L"system");
    AliasStore store(windir());
    for (const wchar_t* name : {L"np", L"notepad", L"both", L"My.App", L"elsewhere"}) ASSERT_TRUE(Add(store, name).ok());
    // A program beside a shortcut in the same folder comes first; one in a
    // folder the search passes later does not.
    testsupport::WriteBytes(windows_ / L"system" / L"both.exe", "MZ");
    const testsupport::TempDir later;
    testsupport::WriteBytes(later / L"np.exe", "MZ");
    WriteUserPathValue(TextValue(REG_SZ, later.path().wstring()));
    // A shortcut in a folder the search never passes.
    const testsupport::TempDir off;
    ASSERT_TRUE(WriteShortcutAt(shell_, off.path().wstring() + L"\\", L"off", program(), L"", windir(), L"").ok());
    const RunSearch search(windir());
    struct Case {
        std::wstring name, own;
    };
    const Case cases[] = {{L"np", store.Find(L"np")},         {L"notepad", store.Find(L"notepad")},
                          {L"both", store.Find(L"both")},     {L"my.app", store.Find(L"My.App")},
                          {L"ELSEWHERE", store.Find(L"elsewhere")}, {L"off", off.path().wstring() + L"\\off.lnk"}};
    for (const Case& c : cases) {
        EXPECT_TRUE(SamePathText(search.ResolveExpecting(c.name, c.own), search.Resolve(c.name)))
            << testing::PrintToString(c.name) << testing::PrintToString(search.Resolve(c.name));
    }
    EXPECT_TRUE(SameFile(search.Resolve(L"np"), store.Find(L"np")));
    EXPECT_EQ(fs::path(search.Resolve(L"both")).filename(), L"both.exe");
    EXPECT_TRUE(search.Resolve(L"off").empty());
}
