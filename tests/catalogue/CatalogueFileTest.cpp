#include "catalogue/CatalogueFile.h"

#include <gtest/gtest.h>

#include "plumbing/SystemInfo.h"
#include "tests/support/TestSupport.h"

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::AnsiLines;
using testsupport::WriteBytes;

TEST(CatalogueFile, RunsInCodePage936) {
    // Everything below assumes the Chinese ANSI code page the program addresses.
    EXPECT_EQ(GetACP(), 936u);
}

TEST(CatalogueFile, LoadsChineseRowsAndSavesTheSameBytes) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    EXPECT_EQ(path, dir.path().wstring() + L"\\applist.ini");
    const std::string bytes = AnsiLines({L"应用程序", L"记事本", L"C:\\Program Files\\记事本.exe", L"C:\\Program Files\\",
                                         L"", L"", L"文件夹", L" 音乐 ", L"D:\\音乐", L"D:\\音乐", L"-a", L"注释 "});
    WriteBytes(path, bytes);
    const CatalogueLoad load = LoadCatalogueFile(path);
    ASSERT_EQ(load.state, CatalogueLoad::State::Loaded);
    ASSERT_EQ(load.rows.size(), 2u);
    EXPECT_EQ(load.rows[0][1], L"记事本");
    EXPECT_EQ(load.rows[1][1], L" 音乐 ");
    EXPECT_EQ(load.rows[1][5], L"注释 ");

    std::filesystem::remove(path);
    ASSERT_TRUE(SaveCatalogueFile(path, load.rows).ok);
    EXPECT_EQ(ReadBytes(path), bytes);
    // No byte-order mark, no temporary left behind.
    EXPECT_NE(static_cast<unsigned char>(ReadBytes(path)[0]), 0xEF);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(CatalogueFile, AbsentHiddenAndSystemFilesLoadAsAbsent) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    EXPECT_EQ(LoadCatalogueFile(path).state, CatalogueLoad::State::Absent);
    for (DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        WriteBytes(path, AnsiLines({L"应用程序", L"np", L"x", L"y", L"", L""}));
        SetFileAttributesW(path.c_str(), attribute);
        EXPECT_EQ(LoadCatalogueFile(path).state, CatalogueLoad::State::Absent) << attribute;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(CatalogueFile, FolderInPlaceOfTheFileIsUnreadableWithAReason) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    std::filesystem::create_directory(path);
    const CatalogueLoad load = LoadCatalogueFile(path);
    EXPECT_EQ(load.state, CatalogueLoad::State::Unreadable);
    EXPECT_FALSE(load.reason.empty());
    // Saving over it fails, reports why, and leaves the folder alone.
    const CatalogueSave save = SaveCatalogueFile(path, {{L"应用程序", L"np", L"x", L"y", L"", L""}});
    EXPECT_FALSE(save.ok);
    EXPECT_FALSE(save.reason.empty());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(CatalogueFile, FailedWritesLeaveTheOldFileWhole) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    const std::string old = AnsiLines({L"应用程序", L"old", L"C:\\old.exe", L"C:\\", L"", L""});
    const std::vector<WideRow> rows(50, WideRow{L"应用程序", L"new", L"C:\\new.exe", L"C:\\", L"", L"新"});

    for (size_t failAt : {size_t{0}, size_t{1}, size_t{100}, size_t{1000}}) {
        WriteBytes(path, old);
        SetCatalogueWriteFault({true, failAt, ERROR_DISK_FULL});
        const CatalogueSave save = SaveCatalogueFile(path, rows);
        SetCatalogueWriteFault({});
        EXPECT_FALSE(save.ok) << failAt;
        EXPECT_EQ(save.reason, SystemErrorText(ERROR_DISK_FULL)) << failAt;
        EXPECT_EQ(ReadBytes(path), old) << failAt;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()),
                  1)
            << "temporary file left behind at " << failAt;
    }

    // A read-only catalogue is not replaced behind the user's back.
    WriteBytes(path, old);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveCatalogueFile(path, rows).ok);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), old);
}

TEST(CatalogueFile, LockedFileCannotBeReplacedAndSaysSo) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    const std::string old = AnsiLines({L"应用程序", L"old", L"C:\\old.exe", L"C:\\", L"", L""});
    WriteBytes(path, old);
    // Another program holding the file open without sharing.
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const CatalogueSave save = SaveCatalogueFile(path, {{L"应用程序", L"new", L"x", L"y", L"", L""}});
    CloseHandle(lock);
    EXPECT_FALSE(save.ok);
    EXPECT_FALSE(save.reason.empty());
    EXPECT_EQ(ReadBytes(path), old);
}

TEST(CatalogueFile, NoHandleOnTheFileOutlivesALoadOrASave) {
    TempDir dir;
    const std::wstring path = CataloguePathFor(dir.path().wstring());
    const std::vector<WideRow> rows = {{L"应用程序", L"np", L"C:\\np.exe", L"C:\\", L"", L""}};
    // Opening without any sharing fails while anyone else holds the file.
    const auto exclusive = [&] {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        const bool ok = h != INVALID_HANDLE_VALUE;
        if (ok) CloseHandle(h);
        return ok;
    };
    ASSERT_TRUE(SaveCatalogueFile(path, rows).ok);
    EXPECT_TRUE(exclusive()) << "after a save";
    ASSERT_EQ(LoadCatalogueFile(path).rows, rows);
    EXPECT_TRUE(exclusive()) << "after a load";
    // Deleting takes the file away at once: a new one can be created in its place.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    HANDLE again = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
}
