#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "link/LinkFreshness.h"
#include "link/Reconnect.h"

namespace zelmo {
class LogBook;
class TelegramStore;
}  // namespace zelmo

namespace zelmo::net {

class LinkClient;

// The connection to the scoring sender as the operator runs it: the attempt with its 5 s wait,
// automatic reconnection, and how fresh the link's data is. It owns the link client and writes
// the link's lines (telegram log, client log, status) into the log book. Windows show its state
// and call its operations; they hold none of its rules.
//
// The clock is injected (tests move time by hand); the waits and the freshness are ticked by
// timers and read the clock on each tick.
class LinkControl : public QObject {
    Q_OBJECT

  public:
    using Clock = std::chrono::steady_clock;
    using Uhr = std::function<Clock::time_point()>;

    // How long an attempt may take before it is given up.
    static constexpr std::chrono::milliseconds kVerbindenWartezeit{5000};
    // Automatic reconnection: one attempt every this long.
    static constexpr std::chrono::milliseconds kWiederverbindenAbstand{5000};

    // `store`, `vorlagenAktiv` and `log` must outlive the control.
    LinkControl(TelegramStore& store, const bool& vorlagenAktiv, LogBook& log,
                QObject* parent = nullptr);
    ~LinkControl() override;

    // Replaces the clock and the tick of the connect wait, reconnection and freshness.
    void SetzeUhr(Uhr uhr, std::chrono::milliseconds takt);
    Clock::time_point Jetzt() const { return uhr_(); }

    enum class Versuch { Laeuft, AdresseFalsch, PortFalsch };
    // The operator's attempt: an existing connection or attempt ends first, then the address
    // and port are checked, then the wait runs until connected or given up (wartenBeendet()).
    Versuch Verbinden(const QString& adresse, const QString& port);
    // The operator's "Trennen": the connection closes and nothing reconnects.
    void Trennen();
    // The program ends: the wait, reconnection and the connection end at once.
    void Beenden();

    // The rehearsal's link: to the program's own sender on `port` of the loopback address,
    // after whatever was connected has been given up, with the attempt's wait. The operator's
    // address, port and reconnection stay as they were, and nothing reconnects while it lasts.
    // The window offers neither Verbinden nor Trennen meanwhile.
    void ProbeVerbinden(quint16 port);
    // Ends the rehearsal's link at once; nothing reconnects by itself afterwards.
    void ProbeTrennen();
    bool Probe() const { return probe_; }

    // After a lost connection or a failed attempt, try again every kWiederverbindenAbstand;
    // turning it off ends reconnection in progress.
    void SetzeWiederverbinden(bool an);
    void SetzeWarnschwelle(std::chrono::seconds schwelle);

    bool Verbunden() const;
    // The operator's attempt is waiting; its progress 0..100.
    bool Wartet() const { return wartet_; }
    int Fortschritt() const { return fortschritt_; }
    const Reconnect& Wiederverbinden() const { return wiederverbinden_; }
    bool WiederverbindenLaeuft() const { return wiederverbinden_.Active() && !Verbunden(); }
    // "Trennen" stops something: a connection or reconnection.
    bool TrennenMoeglich() const;
    // Address and port stay locked once connected, until the operator disconnects.
    bool AdresseGesperrt() const { return adresseGesperrt_; }
    // The address of the last attempt that failed ("host:port" as typed), until the next
    // attempt or connection.
    const std::optional<QString>& Fehlschlag() const { return fehlschlag_; }
    const LinkFreshness& Frische() const { return frische_; }
    // Telegrams received since the control was made.
    std::uint64_t Telegramme() const { return telegramme_; }

    LinkClient& Client() { return *client_; }

  signals:
    // Something the views show has changed (state, logs, freshness, countdowns).
    void geaendert();
    // The operator's attempt has ended, connected or not.
    void wartenBeendet();

  private:
    // Starts an attempt to `host` with its wait; `ziel` names it if it fails.
    void Versuchen(const QString& host, quint16 nummer, const QString& ziel);
    void WarteTakt();
    void WarteBeenden();
    void WiederverbindenPlanen();
    void WiederverbindenStoppen();
    void WiederverbindenTakt();
    void OnVerbunden();
    void OnGetrennt();

    std::unique_ptr<LinkClient> client_;
    LogBook& log_;
    Uhr uhr_;

    QString adresse_;
    QString port_;
    // "host:port" of the attempt in progress.
    QString ziel_;

    QTimer warteTakt_;
    Clock::time_point warteStart_;
    bool wartet_ = false;
    int fortschritt_ = 0;

    Reconnect wiederverbinden_{kWiederverbindenAbstand};
    QTimer wiederverbindenTakt_;
    bool wiederverbindenAn_ = false;

    LinkFreshness frische_;
    QTimer frischeTakt_;

    bool vomBedienerGetrennt_ = false;
    bool beendet_ = false;
    bool adresseGesperrt_ = false;
    bool probe_ = false;
    std::optional<QString> fehlschlag_;
    std::uint64_t telegramme_ = 0;
};

}  // namespace zelmo::net
