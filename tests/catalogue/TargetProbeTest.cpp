#include "catalogue/TargetProbe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>

#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

TEST(TargetProbe, FindsWhatIsThereAndWhatIsNotOnALocalDisk) {
    const testsupport::TempDir dir;
    testsupport::WriteBytes(dir / L"记事本.exe", "MZ");
    const std::wstring base = dir.path().wstring();
    const struct {
        std::wstring path;
        TargetPresence expected;
    } cases[] = {
        {base + L"\\记事本.exe", TargetPresence::Present},
        {base, TargetPresence::Present},
        {base + L"\\", TargetPresence::Present},
        {base + L"\\记事本.ex", TargetPresence::Absent},
        {base + L"\\no\\such\\folder", TargetPresence::Absent},
        {base + L"\\a<b.exe", TargetPresence::Absent},
        {L"", TargetPresence::Absent},
    };
    TargetProbe probe;
    for (const auto& c : cases) {
        EXPECT_EQ(probe.Check(c.path), c.expected) << testing::PrintToString(c.path);
    }
}

TEST(TargetProbe, OnlyARootThatAnswersCanSayATargetIsAbsent) {
    const struct {
        const wchar_t* path;
        UINT driveType;
        DWORD error;
        TargetPresence expected;
    } cases[] = {
        {L"D:\\gone.exe", DRIVE_FIXED, ERROR_FILE_NOT_FOUND, TargetPresence::Absent},
        {L"D:\\gone\\x.exe", DRIVE_FIXED, ERROR_PATH_NOT_FOUND, TargetPresence::Absent},
        {L"N:\\gone.exe", DRIVE_REMOTE, ERROR_FILE_NOT_FOUND, TargetPresence::Absent},
        {L"\\\\server\\share\\gone.exe", 0, ERROR_FILE_NOT_FOUND, TargetPresence::Absent},
        {L"\\\\server\\share\\x.exe", 0, ERROR_BAD_NETPATH, TargetPresence::Unknown},
        {L"\\\\server\\share\\x.exe", 0, ERROR_BAD_NET_NAME, TargetPresence::Unknown},
        {L"E:\\x.exe", DRIVE_REMOVABLE, ERROR_PATH_NOT_FOUND, TargetPresence::Unknown},
        {L"F:\\x.exe", DRIVE_CDROM, ERROR_NOT_READY, TargetPresence::Unknown},
        {L"F:\\x.exe", DRIVE_CDROM, ERROR_FILE_NOT_FOUND, TargetPresence::Unknown},
        {L"Q:\\x.exe", DRIVE_NO_ROOT_DIR, ERROR_PATH_NOT_FOUND, TargetPresence::Unknown},
        {L"D:\\locked.exe", DRIVE_FIXED, ERROR_ACCESS_DENIED, TargetPresence::Unknown},
        {L"D:\\x.exe", DRIVE_FIXED, ERROR_NOT_READY, TargetPresence::Unknown},
    };
    for (const auto& c : cases) {
        // What the answers mean, not how long they take: a wait no answer reaches.
        TargetProbe probe(
            60000,
            [&](const std::wstring&) { return TargetProbe::Answer{INVALID_FILE_ATTRIBUTES, c.error}; },
            [&](const std::wstring&) { return c.driveType; });
        EXPECT_EQ(probe.Check(c.path), c.expected) << testing::PrintToString(c.path) << " " << c.error;
    }
}

TEST(TargetProbe, RootsOfPathsInEveryForm) {
    const struct {
        const wchar_t* path;
        const wchar_t* root;
    } cases[] = {
        {L"c:\\tools\\x.exe", L"C:\\"},
        {L"C:x.exe", L"C:\\"},
        {L"d:/tools/x.exe", L"D:\\"},
        {L"\\\\Server\\Share\\dir\\x.exe", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\server\\share", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\?\\c:\\x.exe", L"C:\\"},
        {L"\\\\?\\UNC\\server\\share\\x.exe", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\server", L""},
        {L"\\\\server\\\\x", L""},
        {L"tools\\x.exe", L""},
        {L"中:\\x.exe", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(PathRoot(c.path), c.root) << testing::PrintToString(c.path);
}

TEST(TargetProbe, ARootThatDoesNotAnswerCostsOneWaitAndIsNotAskedAgain) {
    // Stands in for a server that does not answer: the query returns only
    // once the test lets it, long after any wait of the probe's.
    struct Held {
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<int> asked{0}, returned{0};
        ~Held() { CloseHandle(release); }
    };
    const auto held = std::make_shared<Held>();
    TargetProbe probe(
        TargetProbe::kWaitMs,
        [held](const std::wstring& path) {
            ++held->asked;
            if (path.rfind(L"\\\\", 0) == 0) WaitForSingleObject(held->release, 60000);
            ++held->returned;
            return TargetProbe::Answer{INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND};
        },
        [](const std::wstring&) { return static_cast<UINT>(DRIVE_FIXED); });
    const DWORD start = GetTickCount();
    EXPECT_EQ(probe.Check(L"\\\\server\\share\\a.exe"), TargetPresence::Unknown);
    EXPECT_EQ(probe.Check(L"\\\\SERVER\\share\\b.exe"), TargetPresence::Unknown);
    EXPECT_LT(GetTickCount() - start, 5000u) << "the probe waited for the server";
    EXPECT_EQ(held->asked, 1);  // the second path was not asked about
    // Other roots are still asked.
    EXPECT_EQ(probe.Check(L"D:\\gone.exe"), TargetPresence::Absent);
    SetEvent(held->release);
    EXPECT_TRUE(testsupport::WaitFor([&] { return held->returned == held->asked; }));
}
