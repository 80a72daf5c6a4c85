#include "net/LinkClient.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/TelegramStore.h"

namespace zelmo::net {

// Reaches into the client for what a test must control or observe: the clock of the
// acknowledgement wait and the quiet time, their timer, and how many bytes the client has read.
class LinkClientTestPeer {
  public:
    using Clock = Receiver::Clock;
    static void SetClock(LinkClient& client, const Clock::time_point* now) {
        client.now_ = [now] { return *now; };
    }
    static bool AckTimerActive(const LinkClient& client) { return client.ackTimer_.isActive(); }
    static int AckTimerInterval(const LinkClient& client) { return client.ackTimer_.interval(); }
    static void FireAckTimer(LinkClient& client) { client.onAckTimer(); }
    static quint64 BytesReceived(const LinkClient& client) { return client.bytesReceived_; }
};

namespace {

using namespace std::chrono_literals;
using Peer = LinkClientTestPeer;
using Calls = std::vector<std::string>;

constexpr int kWaitMs = 5000;

const std::string kGAEin =
    R"(0000000102{"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":""}})";
const std::string kStart =
    R"(0000000104{"Ereignis":{"Befehl":"Befehl","Status":"Start","Wert1":"7","Wert2":"","Wert3":"","Wert4":""}})";
const Calls kGAEinCalls = {"telegramm: " + kGAEin.substr(0, 100),
                           "dispatch: GA Ein\x1B"
                           "1\x1B\x1B\x1B",
                           "quittiert"};
const Calls kStartCalls = {"telegramm: " + kStart.substr(0, 100),
                           "dispatch: Start\x1B"
                           "7\x1B\x1B\x1B",
                           "quittiert"};

Calls operator+(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A client connected to a server socket of this process, every signal recorded in order.
class LinkClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "zelmo_test_net";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);

        ASSERT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        client_ = std::make_unique<LinkClient>(store_, vorlagenAktiv_);
        LinkClient* c = client_.get();
        auto text = [this](std::string tag) {
            return [this, tag](const QString& s) { calls_.push_back(tag + s.toStdString()); };
        };
        auto number = [this](std::string tag) {
            return [this, tag](qint32 n) { calls_.push_back(tag + std::to_string(n)); };
        };
        QObject::connect(c, &LinkClient::telegramLog, text("telegramm: "));
        QObject::connect(c, &LinkClient::clientLog, text("client: "));
        QObject::connect(c, &LinkClient::statusLabel, text("status: "));
        QObject::connect(c, &LinkClient::dispatch, text("dispatch: "));
        QObject::connect(c, &LinkClient::acknowledged, [this] { calls_.push_back("quittiert"); });
        QObject::connect(c, &LinkClient::connected, number("connected "));
        QObject::connect(c, &LinkClient::disconnected, number("disconnected "));
    }

    // Connects the client and takes the server's end of the connection.
    void Connect() {
        client_->connectToHost("127.0.0.1", server_.serverPort());
        ASSERT_TRUE(QTest::qWaitFor([&] { return server_.hasPendingConnections(); }, kWaitMs));
        peer_.reset(server_.nextPendingConnection());
        peer_->setParent(nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return client_->isConnected(); }, kWaitMs));
        socket_ = std::to_string(client_->socketNumber());
        connectCalls_ = std::exchange(calls_, {});
    }

    // Writes `chunk` and waits until the client has read it, so that the client sees the
    // chunk as one read of its own and the next chunk as another.
    void Deliver(const std::string& chunk) {
        const quint64 before = Peer::BytesReceived(*client_);
        peer_->write(chunk.data(), static_cast<qint64>(chunk.size()));
        peer_->flush();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Peer::BytesReceived(*client_) == before + chunk.size(); }, kWaitMs));
    }

    // Waits until the server's end has received `count` bytes and returns them.
    std::string PeerReceives(qint64 count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return peer_->bytesAvailable() >= count; }, kWaitMs));
        return peer_->read(count).toStdString();
    }

    Calls Disconnected() const {
        return {"client: TCPClient TCPDisConnect - Socket: " + socket_, "disconnected " + socket_};
    }

    TelegramStore store_;
    bool vorlagenAktiv_ = true;
    QTcpServer server_;
    std::unique_ptr<LinkClient> client_;
    std::unique_ptr<QTcpSocket> peer_;
    std::string socket_;  // the client's socket number
    Calls calls_;
    Calls connectCalls_;
};

TEST_F(LinkClientTest, ConnectAndPeerCloseAreReportedWithTheSocketNumber) {
    Connect();
    ASSERT_GT(client_->socketNumber(), 0);
    EXPECT_EQ(connectCalls_,
              (Calls{"client: TCPClient TCPConnect - Socket: " + socket_, "connected " + socket_}));
    peer_->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client_->isConnected(); }, kWaitMs));
    EXPECT_EQ(client_->socketNumber(), 0);
    EXPECT_EQ(calls_, Disconnected());
}

TEST_F(LinkClientTest, EveryFrameIsHandledOnceHoweverTheBytesArrive) {
    Peer::Clock::time_point now{};
    Peer::SetClock(*client_, &now);
    Connect();
    // Garbage swallows even a whole telegram after it; the client's timer ends the run once
    // the link has been quiet, without waiting for more bytes.
    Deliver("XYZ");
    now += 200ms;
    Deliver(kGAEin);
    ASSERT_TRUE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(Peer::AckTimerInterval(*client_), 251);
    EXPECT_EQ(calls_, Calls{});
    now += 250ms;
    Peer::FireAckTimer(*client_);
    EXPECT_FALSE(Peer::AckTimerActive(*client_));
    for (const std::string& chunk :
         {kGAEin.substr(0, 4), kGAEin.substr(4) + kStart.substr(0, 15), kStart.substr(15)})
        Deliver(chunk);
    EXPECT_EQ(calls_, (Calls{"client: Fehlerhafter Rahmen", "client: XYZ" + kGAEin.substr(0, 97),
                             "quittiert"} +
                       kGAEinCalls + kStartCalls));
    EXPECT_EQ(PeerReceives(36), "0000000012OK0000000012OK0000000012OK");
}

TEST_F(LinkClientTest, AcknowledgementFollowsTheOutputRunAndComesWithoutDispatchToo) {
    Connect();
    // The slot of the output run sees no acknowledgement sent yet for its telegram.
    std::string sentDuringDispatch;
    QObject::connect(client_.get(), &LinkClient::dispatch, [&] {
        peer_->waitForReadyRead(0);
        sentDuringDispatch += peer_->readAll().toStdString();
    });
    Deliver(kGAEin);
    EXPECT_EQ(calls_, kGAEinCalls);
    EXPECT_EQ(sentDuringDispatch, "");
    EXPECT_EQ(PeerReceives(12), "0000000012OK");

    vorlagenAktiv_ = false;
    calls_.clear();
    Deliver(kStart);
    EXPECT_EQ(calls_, (Calls{kStartCalls[0], "quittiert"}));
    EXPECT_EQ(PeerReceives(12), "0000000012OK");
    EXPECT_EQ(store_.Latest().Item("Ereignis").Item("Status").Text(), "Start");
}

TEST_F(LinkClientTest, SendWaitsForThePeersAcknowledgementOnItsClock) {
    Peer::Clock::time_point now{};
    Peer::SetClock(*client_, &now);
    Connect();

    ASSERT_TRUE(client_->send("halo"));
    EXPECT_EQ(PeerReceives(14), "0000000014halo");
    ASSERT_TRUE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(Peer::AckTimerInterval(*client_), 4001);

    // A timer that fires before the wait is over is started again.
    now += 4s;
    Peer::FireAckTimer(*client_);
    EXPECT_TRUE(client_->ackPending());
    EXPECT_TRUE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(calls_, Calls{});

    now += 1ms;
    Peer::FireAckTimer(*client_);
    EXPECT_FALSE(client_->ackPending());
    EXPECT_FALSE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(calls_, Calls{"client: Nicht versandt - Timeout überschritten!"});

    // Answered in time: the wait ends with the acknowledgement line, and its timer stops.
    calls_.clear();
    ASSERT_TRUE(client_->send("HalloÄüßÖ"));
    EXPECT_EQ(PeerReceives(19), "0000000019Hallo\xC4\xFC\xDF\xD6");
    Deliver("0000000012OK");
    EXPECT_FALSE(client_->ackPending());
    EXPECT_FALSE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(calls_, Calls{"client: TCPClient DataArrival: " + socket_ +
                            " * OK empfangen * 0 * FirstBufferAfterOverflow = Falsch"});
}

TEST_F(LinkClientTest, ADisconnectionEndsTheWaitAndLaterSendsAreRefused) {
    Connect();
    ASSERT_TRUE(client_->send("halo"));
    ASSERT_TRUE(client_->ackPending());

    client_->abortConnection();
    EXPECT_FALSE(client_->ackPending());
    EXPECT_FALSE(Peer::AckTimerActive(*client_));
    EXPECT_FALSE(client_->isConnected());
    EXPECT_FALSE(client_->send("halo"));
    EXPECT_EQ(calls_,
              Disconnected() + Calls{"client: Nicht versandt - Keine Socketnummer vorhanden!"});
}

TEST_F(LinkClientTest, TheOperatorsDisconnectIsReportedOnce) {
    Connect();
    client_->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client_->isConnected(); }, kWaitMs));
    client_->abortConnection();
    EXPECT_EQ(calls_, Disconnected());
}

}  // namespace
}  // namespace zelmo::net
