#pragma once

// A stretch of network between this process and the test server
// (TARELIA_TEST_SERVER): a relay on 127.0.0.1 that passes the bytes both ways
// until the test breaks it. A workstation connected through it loses its
// connection when the test says, at once and at a known point, as with a
// broken cable or a server that went down:
//  - cut(): every connection through the relay is closed now;
//  - loseNextAnswer(): what the workstation sends next reaches the server,
//    which acts on it; its answer never comes back, and the connection is
//    closed once the server has finished answering.

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class NetworkRelay {
public:
    NetworkRelay();
    ~NetworkRelay();
    NetworkRelay(const NetworkRelay&) = delete;
    NetworkRelay& operator=(const NetworkRelay&) = delete;

    // The connection string of a database file on the test server, through the relay.
    QString connection(const QString& path) const;

    // Closes every connection through the relay and returns once they are closed.
    void cut();
    // The next request passes, its answer is dropped, then the connection is
    // closed; returns at once (the workstation's request waits on the relay).
    void loseNextAnswer() { losing_ = true; }

private:
    struct Link;
    void accept();
    void pump(Link* link);

    int listener_ = -1;
    int serverPort_ = 0;
    int port_ = 0;
    int wake_[2] = {-1, -1};  // wakes the threads when the relay is cut or ends
    std::atomic<bool> stopping_{false};
    std::atomic<bool> cutting_{false};
    std::atomic<bool> losing_{false};
    std::mutex mutex_;
    std::vector<std::unique_ptr<Link>> links_;
    std::thread acceptor_;
};
