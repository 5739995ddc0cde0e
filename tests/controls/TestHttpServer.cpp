#include "tests/controls/TestHttpServer.h"

#include <ws2tcpip.h>

#include <stdexcept>

namespace {

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

SOCKET BindLocal(std::uint16_t& port) {
    static WinsockUser winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;  // the system picks a free port
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        throw std::runtime_error("cannot bind a local port");
    }
    int len = sizeof(addr);
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return s;
}

bool SendAll(SOCKET s, const char* data, std::size_t size) {
    while (size > 0) {
        const int n = send(s, data, static_cast<int>(size), 0);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

TestHttpServer::TestHttpServer() {
    listener_ = BindLocal(port_);
    listen(listener_, 8);
    thread_ = std::thread(&TestHttpServer::Serve, this);
}

TestHttpServer::~TestHttpServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
}

std::uint16_t TestHttpServer::RefusingPort() {
    std::uint16_t port = 0;
    closesocket(BindLocal(port));
    return port;
}

void TestHttpServer::Route(const std::string& path, TestRoute route) {
    const std::lock_guard lock(mutex_);
    routes_[path] = std::move(route);
}

std::wstring TestHttpServer::Url(const std::string& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

void TestHttpServer::Serve() {
    while (!stop_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{0, 50 * 1000};  // wake regularly to notice the stop
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        Answer(client);
        closesocket(client);
    }
}

void TestHttpServer::Answer(SOCKET client) {
    DWORD timeout = 3000;  // a client that never closes must not stall the server
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    ++requests_;
    const auto start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    TestRoute route;
    {
        const std::lock_guard lock(mutex_);
        const auto found = routes_.find(path);
        if (found != routes_.end()) route = found->second;
        else route = TestRoute{"not found", true, 404};
    }
    std::string head = "HTTP/1.1 " + std::to_string(route.status) + (route.status == 200 ? " OK" : " Error") +
                       "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (route.withLength) {
        const long long length = route.claimedLength >= 0 ? route.claimedLength : static_cast<long long>(route.body.size());
        head += "Content-Length: " + std::to_string(length) + "\r\n";
    }
    head += "\r\n";
    if (!SendAll(client, head.data(), head.size())) return;
    sending_ = true;
    const std::size_t chunk = route.chunk ? route.chunk : route.body.size();
    for (std::size_t at = 0; at < route.body.size() && !stop_; at += chunk) {
        if (route.delayMs) Sleep(static_cast<DWORD>(route.delayMs));
        const std::size_t n = std::min(chunk, route.body.size() - at);
        if (!SendAll(client, route.body.data() + at, n)) {
            clientLeft_ = true;
            break;
        }
    }
    sending_ = false;
    // Let the client read everything before the close.
    shutdown(client, SD_SEND);
    while (recv(client, buffer, sizeof(buffer), 0) > 0) {
    }
}
