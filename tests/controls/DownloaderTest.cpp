#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "controls/downloader.h"
#include "tests/controls/TestHttpServer.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Pattern(std::size_t size, char salt = 0) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + i / 256 + salt) & 0xFF);
    return bytes;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        testsupport::PumpFor(10);
    }
    return true;
}

struct Progress {
    std::int32_t cur, max;
    std::wstring file;
};

class DownloaderTest : public testing::Test {
protected:
    void SetUp() override {
        control_ = downloader::Create();
        control_->DownloadProgress = [this](std::int32_t cur, std::int32_t max, const std::wstring& file) {
            progress_.push_back({cur, max, file});
            log_.push_back(L"progress");
            statDuringProgress_ = control_->downStat;
        };
        control_->DownloadError = [this](const std::wstring& file) { log_.push_back(L"error " + file); };
        control_->DownloadComplete = [this](std::int32_t max, const std::wstring& file) {
            log_.push_back(L"complete " + std::to_wstring(max) + L" " + file);
            ++completions_;
        };
        control_->ShowMessage = [this](const std::wstring& text, const std::wstring& title, UINT style) {
            messages_.push_back(text);
            titles_.push_back(title);
            styles_.push_back(style);
        };
    }

    void TearDown() override {
        control_.reset();  // stops and joins anything still running
    }

    // Events other than progress, in order.
    std::vector<std::wstring> Outcome() const {
        std::vector<std::wstring> out;
        for (const auto& e : log_) {
            if (e != L"progress") out.push_back(e);
        }
        return out;
    }

    std::vector<std::wstring> FolderContents() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.push_back(entry.path().filename().wstring());
        }
        return names;
    }

    bool Download(const std::wstring& url, const std::wstring& file) {
        const int before = completions_;
        control_->BeginDownload(url, file);
        return WaitFor([&] { return completions_ > before && control_->TransfersInFlight() == 0; });
    }

    testsupport::TempDir dir_;
    TestHttpServer server_;
    Ref<downloader> control_;
    std::vector<Progress> progress_;
    std::vector<std::wstring> log_;
    int completions_ = 0;
    bool statDuringProgress_ = false;
    std::vector<std::wstring> messages_, titles_;
    std::vector<UINT> styles_;
};

TEST_F(DownloaderTest, AKnownSizeReportsProgressThenOneCompletionAndSavesExactlyTheBytes) {
    const std::string body = Pattern(300 * 1024);
    server_.Route("/data.bin", {body, true, 200, 32 * 1024, 5});
    const std::wstring file = (dir_ / L"下载.bin").wstring();
    const DWORD thread = GetCurrentThreadId();
    DWORD eventThread = 0;
    control_->DownloadComplete = [&, previous = control_->DownloadComplete](std::int32_t max, const std::wstring& f) {
        eventThread = GetCurrentThreadId();
        previous(max, f);
    };

    control_->BeginDownload(server_.Url("/data.bin"), file);
    EXPECT_TRUE(control_->downStat);
    ASSERT_TRUE(WaitFor([&] { return completions_ > 0 && control_->TransfersInFlight() == 0; }));

    EXPECT_EQ(Outcome(), std::vector<std::wstring>{L"complete " + std::to_wstring(body.size()) + L" " + file});
    ASSERT_FALSE(progress_.empty());
    for (size_t i = 0; i < progress_.size(); ++i) {
        EXPECT_EQ(progress_[i].max, static_cast<std::int32_t>(body.size()));
        EXPECT_EQ(progress_[i].file, file);
        if (i > 0) {
            EXPECT_GT(progress_[i].cur, progress_[i - 1].cur);
        }
    }
    EXPECT_EQ(progress_.back().cur, static_cast<std::int32_t>(body.size()));
    EXPECT_TRUE(statDuringProgress_);
    EXPECT_FALSE(control_->downStat);
    EXPECT_EQ(eventThread, thread);
    EXPECT_EQ(testsupport::ReadBytes(file), body);
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"下载.bin"});
    EXPECT_TRUE(messages_.empty());
}

TEST_F(DownloaderTest, EveryDownloadIsFetchedAfreshAndReplacesTheFile) {
    const std::wstring file = (dir_ / L"page.bin").wstring();
    testsupport::WriteBytes(file, "an older, longer file that must be replaced entirely");
    for (char salt : {1, 2}) {
        server_.Route("/same", {Pattern(1000, salt)});
        ASSERT_TRUE(Download(server_.Url("/same"), file));
        EXPECT_EQ(testsupport::ReadBytes(file), Pattern(1000, salt));
    }
    EXPECT_EQ(server_.Requests(), 2);
}

TEST_F(DownloaderTest, FailedTransfersRaiseErrorThenCompleteAndLeaveTheOldFileAlone) {
    const std::string old = "the complete file from yesterday";
    struct Case {
        const char* what;
        std::wstring url;
        std::int32_t max;
    } const cases[] = {
        {"no Content-Length", server_.Url("/nolength"), 0},
        {"nothing listening", L"http://127.0.0.1:" + std::to_wstring(TestHttpServer::RefusingPort()) + L"/x", 0},
        {"not found", server_.Url("/missing"), 0},
        {"body shorter than announced", server_.Url("/short"), 5000},
    };
    server_.Route("/nolength", {Pattern(4000), false});
    TestRoute shortBody{Pattern(3000)};
    shortBody.claimedLength = 5000;
    server_.Route("/short", shortBody);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log_.clear();
        progress_.clear();
        const std::wstring fresh = (dir_ / L"fresh.bin").wstring();
        const std::wstring kept = (dir_ / L"kept.bin").wstring();
        testsupport::WriteBytes(kept, old);
        ASSERT_TRUE(Download(c.url, fresh));
        ASSERT_TRUE(Download(c.url, kept));
        EXPECT_EQ(Outcome(), (std::vector<std::wstring>{L"error " + fresh, L"complete " + std::to_wstring(c.max) + L" " + fresh,
                                                       L"error " + kept, L"complete " + std::to_wstring(c.max) + L" " + kept}));
        if (c.max == 0) {
            EXPECT_TRUE(progress_.empty());
        }
        EXPECT_FALSE(control_->downStat);
        EXPECT_EQ(testsupport::ReadBytes(kept), old);
        EXPECT_EQ(FolderContents(), std::vector<std::wstring>{L"kept.bin"});
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(DownloaderTest, ASaveFileThatCannotBeWrittenEndsAsAnError) {
    server_.Route("/ok", {Pattern(2000)});
    const std::wstring file = (dir_ / L"no such folder" / L"f.bin").wstring();
    ASSERT_TRUE(Download(server_.Url("/ok"), file));
    EXPECT_EQ(Outcome(), (std::vector<std::wstring>{L"error " + file, L"complete 2000 " + file}));
    EXPECT_FALSE(control_->downStat);
    EXPECT_TRUE(FolderContents().empty());
}

TEST_F(DownloaderTest, AnAddressRejectedAtOnceShowsTheStartFailureAndRaisesNothing) {
    const std::wstring file = (dir_ / L"x.bin").wstring();
    for (const std::wstring url : {L"", L"not an address", L"mailto:someone@example.com", L"file:///C:/windows/win.ini",
                                   L"http://"}) {
        SCOPED_TRACE(testing::Message() << "url #" << messages_.size());
        messages_.clear();
        titles_.clear();
        styles_.clear();
        control_->BeginDownload(url, file);
        EXPECT_FALSE(control_->downStat);
        EXPECT_EQ(control_->TransfersInFlight(), 0u);
        ASSERT_EQ(messages_.size(), 1u);
        const DWORD code = CheckDownloadAddress(url);
        EXPECT_NE(code, 0u);
        const std::wstring prefix = std::to_wstring(code) + L"开始下载数据失败！\r\n\r\n错误：";
        EXPECT_EQ(messages_[0].substr(0, prefix.size()), prefix);
        EXPECT_GT(messages_[0].size(), prefix.size());  // a description follows
        EXPECT_EQ(titles_[0], L"错误");
        EXPECT_EQ(styles_[0], static_cast<UINT>(MB_ICONERROR | MB_OK));
    }
    testsupport::PumpFor(100);
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(FolderContents().empty());
}

TEST_F(DownloaderTest, CancelStopsTheTransferWithNoFurtherEventsAndNoFile) {
    server_.Route("/slow", {Pattern(200 * 1024), true, 200, 256, 20});  // 16 s in all
    const std::wstring file = (dir_ / L"slow.bin").wstring();
    control_->BeginDownload(server_.Url("/slow"), file);
    ASSERT_TRUE(WaitFor([&] { return !progress_.empty(); }));

    EXPECT_FALSE(control_->CancelAsyncRead());
    EXPECT_FALSE(control_->downStat);
    const size_t seen = log_.size();
    // The worker really ends and the server sees the client go.
    EXPECT_TRUE(WaitFor([&] { return control_->TransfersInFlight() == 0; }));
    EXPECT_TRUE(WaitFor([&] { return server_.ClientLeftEarly(); }));
    testsupport::PumpFor(200);
    EXPECT_EQ(log_.size(), seen);
    EXPECT_TRUE(FolderContents().empty());

    // The control is usable again afterwards.
    server_.Route("/after", {Pattern(500)});
    ASSERT_TRUE(Download(server_.Url("/after"), file));
    EXPECT_EQ(testsupport::ReadBytes(file), Pattern(500));
}

TEST_F(DownloaderTest, ReleasingTheControlMidTransferStopsAndJoinsItsWorker) {
    server_.Route("/slow", {Pattern(200 * 1024), true, 200, 256, 20});  // 16 s in all
    control_->BeginDownload(server_.Url("/slow"), (dir_ / L"gone.bin").wstring());
    ASSERT_TRUE(WaitFor([&] { return !progress_.empty(); }));
    const DWORD start = GetTickCount();
    control_.reset();
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_TRUE(WaitFor([&] { return server_.ClientLeftEarly(); }));
    testsupport::PumpFor(100);  // nothing posted to the destroyed window is delivered
    EXPECT_TRUE(FolderContents().empty());
}

}  // namespace
