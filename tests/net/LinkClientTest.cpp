#include "net/LinkClient.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTest>
#include <QVariant>

namespace zelmo::net {

// Reaches into the client for the clock and the timer of the acknowledgement wait.
class LinkClientTestPeer {
  public:
    static void SetClock(LinkClient& client, const Receiver::Clock::time_point* now) {
        client.now_ = [now] { return *now; };
    }
    static const QTimer& Timer(const LinkClient& client) { return client.ackTimer_; }
    static void FireTimer(LinkClient& client) { client.onAckTimer(); }
};

namespace {

using namespace std::chrono_literals;

// The wiring around the receiver, whose rules its own tests hold: one connection to a server
// socket of this process on the test's clock, the signals recorded in order.
TEST(LinkClient, SignalsSocketWritesAndTheTimer) {
    static int argc = 1;
    static char name[] = "zelmo_test_net";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    constexpr int kWaitMs = 5000;

    TelegramStore store;
    const bool vorlagenAktiv = true;
    LinkClient client(store, vorlagenAktiv);
    Receiver::Clock::time_point now{};
    LinkClientTestPeer::SetClock(client, &now);
    std::vector<std::string> calls;
    auto record = [&](std::string tag) {
        return [&calls, tag](const auto& value) {
            calls.push_back(tag + QVariant(value).toString().toStdString());
        };
    };
    QObject::connect(&client, &LinkClient::telegramLog, record("telegramm: "));
    QObject::connect(&client, &LinkClient::dispatch, record("dispatch: "));
    QObject::connect(&client, &LinkClient::acknowledged, [&] { calls.push_back("quittiert"); });
    QObject::connect(&client, &LinkClient::connected, record("connected "));
    QObject::connect(&client, &LinkClient::disconnected, record("disconnected "));

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    client.connectToHost("127.0.0.1", server.serverPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kWaitMs));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.isConnected(); }, kWaitMs));
    ASSERT_GT(client.socketNumber(), 0);
    const std::string socket = std::to_string(client.socketNumber());
    const QTimer& timer = LinkClientTestPeer::Timer(client);

    peer->write(
        "0000000108{\"Ereignis\":{\"Befehl\":\"Befehl\",\"Status\":\"GAEin\",\"Wert1\":1,"
        "\"Wert2\":\"M\xFCller\",\"Wert3\":\"\",\"Wert4\":\"\"}}");
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.size() == 4; }, kWaitMs));

    // The timer of the wait for the peer's answer starts again when it fires early, stops on it.
    ASSERT_TRUE(client.send("halo"));
    EXPECT_EQ(timer.interval(), 4001);
    now += 4s;
    LinkClientTestPeer::FireTimer(client);
    EXPECT_TRUE(client.ackPending() && timer.isActive());
    ASSERT_TRUE(client.send("HalloÄüßÖ"));
    peer->write("0000000012OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.ackPending(); }, kWaitMs));
    EXPECT_FALSE(timer.isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 45; }, kWaitMs));
    EXPECT_EQ(peer->readAll().toStdString(),
              "0000000012OK0000000014halo0000000019Hallo\xC4\xFC\xDF\xD6");

    // The operator's disconnect ends a wait, is reported once, and later sends are refused.
    ASSERT_TRUE(client.send("halo"));
    client.disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.isConnected(); }, kWaitMs));
    EXPECT_FALSE(client.ackPending() || timer.isActive());
    client.abortConnection();
    EXPECT_EQ(client.socketNumber(), 0);
    EXPECT_FALSE(client.send("halo"));

    // The texts arrive decoded from the code page.
    EXPECT_EQ(
        calls,
        (std::vector<std::string>{
            "connected " + socket,
            R"(telegramm: 0000000108{"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"Müller","Wert3":"","Wer)",
            "dispatch: GA Ein\0331\033Müller\033\033", "quittiert", "disconnected " + socket}));
}

}  // namespace
}  // namespace zelmo::net
