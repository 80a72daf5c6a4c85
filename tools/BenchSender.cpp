#include "BenchSender.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#endif

#include "component/Collection.h"
#include "component/Error.h"
#include "link/Evaluation.h"
#include "link/Frame.h"

namespace zelmo::tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 10000;

#ifdef _WIN32
int Length(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, 1 << 30));
}
bool Nochmal() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
int Poll(pollfd& p) {
    return WSAPoll(&p, 1, kTimeoutMs);
}
std::string Systemfehler() {
    return "Fehler " + std::to_string(WSAGetLastError());
}
#else
std::size_t Length(std::size_t n) {
    return n;
}
bool Nochmal() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}
int Poll(pollfd& p) {
    return ::poll(&p, 1, kTimeoutMs);
}
std::string Systemfehler() {
    return std::strerror(errno);
}
#endif

std::nullopt_t Fehler(const char* was, std::string& error) {
    error = std::string(was) + ": " + Systemfehler();
    return std::nullopt;
}

}  // namespace

BenchSender::BenchSender(qintptr descriptor) : fd_(static_cast<Descriptor>(descriptor)) {}

std::optional<std::int64_t> BenchSender::RoundTrip(const std::string& frame, std::string& error) {
    for (std::size_t sent = 0; sent < frame.size();) {
        const auto n = ::send(fd_, frame.data() + sent, Length(frame.size() - sent), 0);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (!Warten(POLLOUT))
            return Fehler("Senden fehlgeschlagen", error);
    }
    const Clock::time_point abgeschickt = Clock::now();
    char ack[kAckFrame.size()];
    for (std::size_t got = 0; got < sizeof ack;) {
        // The acknowledgement is never there yet: wait first, then read.
        if (!Warten(POLLIN))
            return Fehler("keine Quittung", error);
        const auto n = ::recv(fd_, ack + got, Length(sizeof ack - got), 0);
        if (n == 0) {
            error = "keine Quittung: die Verbindung ist geschlossen";
            return std::nullopt;
        }
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (!Nochmal())
            return Fehler("Lesen fehlgeschlagen", error);
    }
    const Clock::time_point acked = Clock::now();
    if (std::string_view(ack, sizeof ack) != kAckFrame) {
        error = "unerwartete Antwort: " + std::string(ack, sizeof ack);
        return std::nullopt;
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(acked - abgeschickt).count();
}

// Waits until the socket is ready for `event`; false on an error or after the timeout.
bool BenchSender::Warten(short event) {
    pollfd p{};
    p.fd = fd_;
    p.events = event;
    int ready = 0;
    do {
        ready = Poll(p);
    } while (ready < 0 && Nochmal());
    return ready == 1 && (p.revents & event) != 0;
}

std::optional<BenchMessung> BenchMessen(BenchSender& sender, const std::string& frame, int warmUp,
                                        int count, std::string& error) {
    RoundTrips warm;
    if (!BenchRunden(sender, frame, warmUp, warm, error))
        return std::nullopt;
    RoundTrips trips;
    const Clock::time_point start = Clock::now();
    if (!BenchRunden(sender, frame, count, trips, error))
        return std::nullopt;
    return BenchMessung{trips.Summarize(),
                        std::chrono::duration<double>(Clock::now() - start).count()};
}

bool BenchRunden(BenchSender& sender, const std::string& frame, int count, RoundTrips& trips,
                 std::string& error) {
    for (int i = 0; i < count; ++i) {
        const auto micros = sender.RoundTrip(frame, error);
        if (!micros)
            return false;
        trips.Add(*micros);
    }
    return true;
}

std::optional<std::string> BenchEreignis(const std::string& payload) {
    try {
        const Collection ereignis = JSONDecodieren(payload).Item("Ereignis");
        const auto name =
            EreignisName(ereignis.Item("Status").Text(), ereignis.Find("Wert1").TextOrEmpty());
        if (name)
            return std::string(*name);
    } catch (const Error&) {
    }
    return std::nullopt;
}

Vorlage BenchVorlage(const std::string& ereignis) {
    Vorlage vorlage;
    vorlage.SetzeZeile(
        0, {ereignis, "Alle", "Alle", "Alle", "Alle", "", "01", "bench", "AktReiter\r\nStartliste",
            "StartNr,Reiter,Pferd,Land\r\nStartNr,Reiter,Pferd,Land,Fehler,Zeit"});
    vorlage.SetzeFormat(Ausgabeformat::LiveText);
    return vorlage;
}

std::optional<long> ProcStatusKb(qint64 pid, const char* key) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray prefix = QByteArray(key) + ":";
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            bool ok = false;
            const long kb = line.mid(prefix.size()).trimmed().split(' ').first().toLong(&ok);
            if (ok)
                return kb;
        }
    }
    return std::nullopt;
}

std::string Megabytes(std::optional<long> kb) {
    if (!kb)
        return "nicht verfügbar";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(*kb) / 1024.0);
    return text;
}

}  // namespace zelmo::tool
