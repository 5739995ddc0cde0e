#pragma once
// Small helpers shared by the Windows tests.
#include <windows.h>

#include <filesystem>
#include <string>

namespace testsupport {

// Runs the thread's message queue until it is empty.
void PumpMessages();

// Runs the message queue for about `ms` milliseconds.
void PumpFor(DWORD ms);

// A fresh, empty folder under the temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole file as bytes ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// UTF-8 source text to the ANSI code page and back, for building catalogue bytes.
std::string ToAnsi(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace testsupport
