#include "net/LinkClient.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/TelegramStore.h"

namespace zelmo::net {

// Reaches into the client for what a test must control or observe: the clock of the
// acknowledgement wait, its timer, and how many bytes the client has read.
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

constexpr int kWaitMs = 5000;

void EnsureApp() {
    static int argc = 1;
    static char name[] = "zelmo_test_net";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Frames built here, independently of the encoder under test.
std::string Framed(const std::string& bytes) {
    char prefix[11];
    std::snprintf(prefix, sizeof prefix, "%010zu", bytes.size() + 10);
    return prefix + bytes;
}

const std::string kGAEin =
    R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":""}})";
const std::string kStart =
    R"({"Ereignis":{"Befehl":"Befehl","Status":"Start","Wert1":"7","Wert2":"","Wert3":"","Wert4":""}})";
const std::string kGAEinLine = "telegramm: " + Framed(kGAEin).substr(0, 100);
const std::string kStartLine = "telegramm: " + Framed(kStart).substr(0, 100);
const std::string kGAEinEvent =
    "dispatch: GA Ein\x1B"
    "1\x1B\x1B\x1B";
const std::string kStartEvent =
    "dispatch: Start\x1B"
    "7\x1B\x1B\x1B";

// A client connected to a server socket of this process, every signal recorded in order.
class LinkClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ASSERT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        client_ = std::make_unique<LinkClient>(store_, vorlagenAktiv_);
        QObject::connect(client_.get(), &LinkClient::telegramLog, [this](const QString& s) {
            calls_.push_back("telegramm: " + s.toStdString());
        });
        QObject::connect(client_.get(), &LinkClient::clientLog, [this](const QString& s) {
            calls_.push_back("client: " + s.toStdString());
        });
        QObject::connect(client_.get(), &LinkClient::statusLabel, [this](const QString& s) {
            calls_.push_back("status: " + s.toStdString());
        });
        QObject::connect(client_.get(), &LinkClient::dispatch, [this](const QString& s) {
            calls_.push_back("dispatch: " + s.toStdString());
        });
        QObject::connect(client_.get(), &LinkClient::acknowledged,
                         [this] { calls_.push_back("quittiert"); });
        QObject::connect(client_.get(), &LinkClient::connected, [this](qint32 socket) {
            calls_.push_back("connected " + std::to_string(socket));
        });
        QObject::connect(client_.get(), &LinkClient::disconnected, [this](qint32 socket) {
            calls_.push_back("disconnected " + std::to_string(socket));
        });
    }

    // Connects the client and takes the server's end of the connection.
    void Connect() {
        client_->connectToHost("127.0.0.1", server_.serverPort());
        ASSERT_TRUE(QTest::qWaitFor([&] { return server_.hasPendingConnections(); }, kWaitMs));
        peer_.reset(server_.nextPendingConnection());
        peer_->setParent(nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return client_->isConnected(); }, kWaitMs));
        calls_.clear();
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
    std::string PeerReceives(std::size_t count) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                received_ += peer_->readAll().toStdString();
                return received_.size() >= count;
            },
            kWaitMs));
        std::string out = received_.substr(0, count);
        received_.erase(0, count);
        return out;
    }

    TelegramStore store_;
    bool vorlagenAktiv_ = true;
    QTcpServer server_;
    std::unique_ptr<LinkClient> client_;
    std::unique_ptr<QTcpSocket> peer_;
    std::vector<std::string> calls_;
    std::string received_;
};

using Calls = std::vector<std::string>;

TEST_F(LinkClientTest, ConnectAndPeerCloseAreReportedWithTheSocketNumber) {
    client_->connectToHost("127.0.0.1", server_.serverPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return client_->isConnected(); }, kWaitMs));
    const qint32 socket = client_->socketNumber();
    ASSERT_GT(socket, 0);
    const std::string n = std::to_string(socket);
    EXPECT_EQ(calls_, (Calls{"client: TCPClient TCPConnect - Socket: " + n, "connected " + n}));

    ASSERT_TRUE(server_.hasPendingConnections() || server_.waitForNewConnection(kWaitMs));
    std::unique_ptr<QTcpSocket> peer(server_.nextPendingConnection());
    peer->setParent(nullptr);
    calls_.clear();
    peer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client_->isConnected(); }, kWaitMs));
    EXPECT_EQ(client_->socketNumber(), 0);
    EXPECT_EQ(calls_,
              (Calls{"client: TCPClient TCPDisConnect - Socket: " + n, "disconnected " + n}));
}

TEST_F(LinkClientTest, EveryFrameIsHandledOnceHoweverTheBytesArrive) {
    const std::string a = Framed(kGAEin);
    const std::string b = Framed(kStart);
    const Calls first = {kGAEinLine, kGAEinEvent, "quittiert"};
    const Calls second = {kStartLine, kStartEvent, "quittiert"};
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        Calls want;
        int acks;
    };
    const std::vector<Row> rows = {
        {"one frame in one read", {a}, first, 1},
        {"prefix split across reads", {a.substr(0, 4), a.substr(4, 5), a.substr(9)}, first, 1},
        {"frame split in the payload", {a.substr(0, 40), a.substr(40)}, first, 1},
        {"two frames in one read",
         {a + b},
         {first[0], first[1], first[2], second[0], second[1], second[2]},
         2},
        {"second frame starts in the first read",
         {a + b.substr(0, 15), b.substr(15)},
         {first[0], first[1], first[2], second[0], second[1], second[2]},
         2},
        {"garbage is answered and the link goes on",
         {"XYZ", a},
         {"client: Fehlerhafter Rahmen", "client: XYZ", "quittiert", first[0], first[1], first[2]},
         2},
    };
    Connect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        calls_.clear();
        for (const std::string& chunk : row.chunks)
            Deliver(chunk);
        EXPECT_EQ(calls_, row.want);
        std::string acks;
        for (int i = 0; i < row.acks; ++i)
            acks += "0000000012OK";
        EXPECT_EQ(PeerReceives(acks.size()), acks);
    }
    EXPECT_EQ(peer_->bytesAvailable(), 0);
}

TEST_F(LinkClientTest, AcknowledgementFollowsTheOutputRunAndComesWithoutDispatchToo) {
    Connect();
    // The slot of the output run sees no acknowledgement sent yet for its telegram.
    std::string sentDuringDispatch;
    QObject::connect(client_.get(), &LinkClient::dispatch, [&] {
        peer_->waitForReadyRead(0);
        sentDuringDispatch += peer_->readAll().toStdString();
    });
    Deliver(Framed(kGAEin));
    EXPECT_EQ(calls_, (Calls{kGAEinLine, kGAEinEvent, "quittiert"}));
    EXPECT_EQ(sentDuringDispatch, "");
    EXPECT_EQ(PeerReceives(12), "0000000012OK");

    // Without an active template nothing is dispatched, but the frame is still answered.
    vorlagenAktiv_ = false;
    calls_.clear();
    Deliver(Framed(kStart));
    EXPECT_EQ(calls_, (Calls{kStartLine, "quittiert"}));
    EXPECT_EQ(PeerReceives(12), "0000000012OK");
    EXPECT_EQ(store_.Latest().Item("Ereignis").Item("Status").Text(), "Start");
}

TEST_F(LinkClientTest, AFrameCutByADisconnectionNeverCompletesOnTheNextConnection) {
    Connect();
    const std::string a = Framed(kGAEin);
    Deliver(a.substr(0, 30));
    peer_->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client_->isConnected(); }, kWaitMs));

    Connect();
    Deliver(Framed(kStart));
    EXPECT_EQ(calls_, (Calls{kStartLine, kStartEvent, "quittiert"}));
}

TEST_F(LinkClientTest, SendWaitsForThePeersAcknowledgementOnItsClock) {
    LinkClientTestPeer::Clock::time_point now{};
    Peer::SetClock(*client_, &now);
    Connect();

    ASSERT_TRUE(client_->send("halo"));
    EXPECT_EQ(PeerReceives(14), "0000000014halo");
    EXPECT_TRUE(client_->ackPending());
    ASSERT_TRUE(Peer::AckTimerActive(*client_));
    EXPECT_EQ(Peer::AckTimerInterval(*client_), 4001);

    // Exactly four seconds is not yet more than four.
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
    EXPECT_EQ(calls_,
              Calls{"client: TCPClient DataArrival: " + std::to_string(client_->socketNumber()) +
                    " * OK empfangen * 0 * FirstBufferAfterOverflow = Falsch"});
}

TEST_F(LinkClientTest, ADisconnectionEndsTheWaitAndLaterSendsAreRefused) {
    Connect();
    const std::string n = std::to_string(client_->socketNumber());
    ASSERT_TRUE(client_->send("halo"));
    ASSERT_TRUE(client_->ackPending());

    client_->abortConnection();
    EXPECT_FALSE(client_->ackPending());
    EXPECT_FALSE(Peer::AckTimerActive(*client_));
    EXPECT_FALSE(client_->isConnected());

    EXPECT_FALSE(client_->send("halo"));
    EXPECT_EQ(calls_, (Calls{"client: TCPClient TCPDisConnect - Socket: " + n, "disconnected " + n,
                             "client: Nicht versandt - Keine Socketnummer vorhanden!"}));
}

TEST_F(LinkClientTest, TheOperatorsDisconnectIsReportedOnce) {
    Connect();
    const std::string n = std::to_string(client_->socketNumber());
    client_->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client_->isConnected(); }, kWaitMs));
    client_->abortConnection();
    EXPECT_EQ(calls_,
              (Calls{"client: TCPClient TCPDisConnect - Socket: " + n, "disconnected " + n}));
}

}  // namespace
}  // namespace zelmo::net
