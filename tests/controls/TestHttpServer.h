#pragma once
// A tiny HTTP server on 127.0.0.1 inside the test process, on a thread of its
// own, for the download tests. It answers every GET with the route registered
// for the path (404 for others), one connection at a time, and closes each
// connection after the answer.
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct TestRoute {
    std::string body;
    bool withLength = true;     // send Content-Length (otherwise end by closing)
    int status = 200;
    std::size_t chunk = 0;      // 0: the whole body at once
    int delayMs = 0;            // pause before each chunk
    long long claimedLength = -1;  // a Content-Length other than the body's
};

class TestHttpServer {
public:
    TestHttpServer();  // binds a free port and starts serving
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    void Route(const std::string& path, TestRoute route);
    std::wstring Url(const std::string& path) const;
    int Requests() const { return requests_; }
    // True once a client went away before the whole body was sent.
    bool ClientLeftEarly() const { return clientLeft_; }
    // True while a body is being sent.
    bool Sending() const { return sending_; }

    // A port with nothing listening on it.
    static std::uint16_t RefusingPort();

private:
    void Serve();
    void Answer(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::atomic<bool> clientLeft_{false};
    std::atomic<bool> sending_{false};
    std::mutex mutex_;
    std::map<std::string, TestRoute> routes_;
    std::thread thread_;
};
