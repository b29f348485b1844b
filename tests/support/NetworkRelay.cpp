#include "NetworkRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>

#include <stdexcept>

struct NetworkRelay::Link {
    int client = -1;
    int server = -1;
    std::thread thread;
};

namespace {

int ServerPort()
{
    // "host/port" as the test script exports it; the server's default port otherwise.
    const QByteArray server = qgetenv("TARELIA_TEST_SERVER");
    const int slash = server.indexOf('/');
    return slash < 0 ? 3050 : server.mid(slash + 1).toInt();
}

bool SendAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

NetworkRelay::NetworkRelay() : serverPort_(ServerPort())
{
    if (pipe(wake_) != 0)
        throw std::runtime_error("relay: no pipe");
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("relay: cannot listen");
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] { accept(); });
}

NetworkRelay::~NetworkRelay()
{
    stopping_ = true;
    (void)!write(wake_[1], "x", 1);
    acceptor_.join();
    for (auto& link : links_)
        if (link->thread.joinable())
            link->thread.join();
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
}

QString NetworkRelay::connection(const QString& path) const
{
    return QStringLiteral("127.0.0.1/%1:%2").arg(port_).arg(path);
}

void NetworkRelay::cut()
{
    cutting_ = true;
    (void)!write(wake_[1], "x", 1);
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& link : links_)
        if (link->thread.joinable())
            link->thread.join();
    links_.clear();
    char c;
    (void)!read(wake_[0], &c, 1);
    cutting_ = false;
}

void NetworkRelay::accept()
{
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            continue;
        const int server = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(serverPort_));
        if (server < 0 || connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close(client);
            if (server >= 0)
                close(server);
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        auto link = std::make_unique<Link>();
        link->client = client;
        link->server = server;
        Link* l = link.get();
        links_.push_back(std::move(link));
        l->thread = std::thread([this, l] { pump(l); });
    }
}

void NetworkRelay::pump(Link* link)
{
    char buf[65536];
    bool requestPassed = false;  // the request whose answer is lost has gone to the server
    bool dropping = false;       // the server is answering it
    for (;;) {
        pollfd fds[3] = {{link->client, POLLIN, 0}, {link->server, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        // Once the server is quiet after its answer, it has done what it was asked.
        const int n = poll(fds, 3, dropping ? 300 : -1);
        if (stopping_ || cutting_ || (n == 0 && dropping) || n < 0)
            break;
        if (fds[0].revents) {
            const ssize_t r = recv(link->client, buf, sizeof buf, 0);
            if (r <= 0)
                break;
            if (losing_.exchange(false))
                requestPassed = true;
            if (!SendAll(link->server, buf, r))
                break;
        }
        if (fds[1].revents) {
            const ssize_t r = recv(link->server, buf, sizeof buf, 0);
            if (r <= 0)
                break;
            if (requestPassed) {
                dropping = true;
                continue;
            }
            if (!SendAll(link->client, buf, r))
                break;
        }
    }
    shutdown(link->client, SHUT_RDWR);
    shutdown(link->server, SHUT_RDWR);
    close(link->client);
    close(link->server);
}
