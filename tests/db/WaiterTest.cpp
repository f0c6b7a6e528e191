// Waiting for a catalogue server that does not answer: with a waiter, connecting
// and statements run on a thread of their own while the waiter keeps the caller
// going, and the user can stop waiting.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"
#include "platform/UniqueFd.h"
#include "support/DatabaseTest.h"

namespace {

/// A host that takes the connection and never says a word: a listening socket
/// nobody accepts on (the kernel completes the handshake from its backlog).
class SilentHost {
  public:
    SilentHost() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_.get(), 8);
        socklen_t length = sizeof address;
        ::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    unsigned port() const { return port_; }

  private:
    platform::UniqueFd fd_;
    unsigned port_ = 0;
};

/// Counts its polls; gives up after `patience` polls (0: waits to the end).
class CountingWaiter : public db::Waiter {
  public:
    explicit CountingWaiter(int patience = 0) : patience_(patience) {}
    bool available() const override { return true; }
    bool wait(const std::function<bool()>& finished) override {
        ++waits;
        while (!finished()) {
            if (++polls >= patience_ && patience_ > 0)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    int waits = 0;
    int polls = 0;

  private:
    int patience_;
};

class Waiting : public testsupport::CatalogueTest {};

TEST_F(Waiting, StatementsRunThroughTheWaiterAndGiveTheirRows) {
    CountingWaiter waiter;
    db::Connection connection(catalogueSettings());
    connection.setWaiter(&waiter);
    db::Query query(connection, "halden");
    query.setSql("SELECT COUNT(*) FROM videosnap");
    query.open();
    EXPECT_GT(query.field(0).toInt(), 0);
    EXPECT_EQ(waiter.waits, 3); // the connect, the database choice and the statement
}

TEST_F(Waiting, ASilentHostEndsWithTheConnectTimeOut) {
    SilentHost host;
    CountingWaiter waiter;
    db::ConnectionSettings settings = catalogueSettings();
    settings.port = host.port();
    settings.connectTimeout = std::chrono::seconds(1);
    db::Connection connection(settings);
    connection.setWaiter(&waiter);
    try {
        connection.connect();
        FAIL() << "connected to a host that never answers";
    } catch (const db::Error& e) {
        EXPECT_TRUE(db::isConnectionFailure(e.number())) << e.number() << " " << e.what();
        EXPECT_NE(e.number(), db::waitCancelled);
    }
    EXPECT_GT(waiter.polls, 0); // the caller kept going while it waited
    EXPECT_FALSE(connection.connected());
}

TEST_F(Waiting, TheUserCanStopWaitingForAConnection) {
    SilentHost host;
    CountingWaiter waiter(3);
    db::ConnectionSettings settings = catalogueSettings();
    settings.port = host.port();
    settings.connectTimeout = std::chrono::seconds(2);
    {
        db::Connection connection(settings);
        connection.setWaiter(&waiter);
        try {
            connection.connect();
            FAIL() << "connected to a host that never answers";
        } catch (const db::Error& e) {
            EXPECT_EQ(e.number(), db::waitCancelled);
            EXPECT_EQ(
                db::couldNotConnect(e).what(),
                std::string(
                    "Dataset server could not connect: the user stopped waiting for the server"));
        }
        EXPECT_FALSE(connection.connected());
        // The connection can be tried again; the abandoned attempt ends on its own
        // and is joined when the connection goes.
    }
}

TEST_F(Waiting, TheUserCanStopWaitingForAStatementAndTheConnectionIsClosed) {
    CountingWaiter waiter(20);
    db::Connection connection(catalogueSettings());
    connection.setWaiter(&waiter);
    db::Query query(connection, "halden");
    query.setSql("SELECT SLEEP(30)");
    try {
        query.open();
        FAIL() << "the statement was not cut off";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.number(), db::waitCancelled);
    }
    EXPECT_FALSE(connection.connected());
    EXPECT_FALSE(query.isOpen());
    // The next action connects afresh.
    CountingWaiter patient;
    connection.setWaiter(&patient);
    query.setSql("SELECT 1");
    query.open();
    EXPECT_EQ(query.field(0).text(), "1");
}

} // namespace
