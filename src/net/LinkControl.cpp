#include "net/LinkControl.h"

#include <QHostAddress>

#include <algorithm>
#include <cmath>

#include "link/Address.h"
#include "link/LogBook.h"
#include "net/LinkClient.h"

namespace zelmo::net {

namespace {

constexpr std::chrono::milliseconds kWarteTakt{50};
constexpr std::chrono::milliseconds kWiederverbindenTakt{200};
constexpr std::chrono::milliseconds kFrischeTakt{1000};

std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

LinkControl::LinkControl(TelegramStore& store, const bool& vorlagenAktiv, LogBook& log,
                         QObject* parent)
    : QObject(parent),
      client_(std::make_unique<LinkClient>(store, vorlagenAktiv)),
      log_(log),
      uhr_([] { return Clock::now(); }) {
    warteTakt_.setInterval(kWarteTakt);
    wiederverbindenTakt_.setInterval(kWiederverbindenTakt);
    frischeTakt_.setInterval(kFrischeTakt);
    connect(&warteTakt_, &QTimer::timeout, this, &LinkControl::WarteTakt);
    connect(&wiederverbindenTakt_, &QTimer::timeout, this, &LinkControl::WiederverbindenTakt);
    // The age of the last telegram goes on counting without any event.
    connect(&frischeTakt_, &QTimer::timeout, this, [this] {
        const auto jetzt = uhr_();
        if (frische_.Check(jetzt) == LinkFreshness::Change::WentStale)
            log_.Record(LogKind::Status,
                        "Seit " + DauerText(*frische_.Quiet(jetzt)) + " kein Telegramm!");
        emit geaendert();
    });

    connect(client_.get(), &LinkClient::connected, this, &LinkControl::OnVerbunden);
    connect(client_.get(), &LinkClient::disconnected, this, &LinkControl::OnGetrennt);
    // On a telegram's way to its acknowledgement: models only, no widget.
    connect(client_.get(), &LinkClient::telegramLog, this, [this](const QString& zeile) {
        const auto jetzt = uhr_();
        const auto still = frische_.Quiet(jetzt);
        frische_.Telegram(jetzt);
        ++telegramme_;
        log_.Write(LogKind::Telegram, Utf8(zeile));
        if (frische_.Check(jetzt) == LinkFreshness::Change::CameBack && still)
            log_.Record(LogKind::Status, "Wieder ein Telegramm nach " + DauerText(*still));
        emit geaendert();
    });
    connect(client_.get(), &LinkClient::clientLog, this, [this](const QString& zeile) {
        log_.Write(LogKind::Client, Utf8(zeile));
        emit geaendert();
    });
    connect(client_.get(), &LinkClient::statusLabel, this, [this](const QString& text) {
        log_.Write(LogKind::Status, Utf8(text));
        emit geaendert();
    });
}

LinkControl::~LinkControl() {
    // Closing the socket must not call back into a half-destroyed control.
    client_->disconnect(this);
}

void LinkControl::SetzeUhr(Uhr uhr, std::chrono::milliseconds takt) {
    uhr_ = std::move(uhr);
    warteTakt_.setInterval(takt);
    wiederverbindenTakt_.setInterval(takt);
    frischeTakt_.setInterval(takt);
}

bool LinkControl::Verbunden() const {
    return client_->isConnected();
}

bool LinkControl::TrennenMoeglich() const {
    return (Verbunden() && !vomBedienerGetrennt_) || WiederverbindenLaeuft();
}

// --- the operator's attempt --------------------------------------------------------------

LinkControl::Versuch LinkControl::Verbinden(const QString& adresse, const QString& port) {
    WiederverbindenStoppen();
    beendet_ = false;
    // Whatever was connected is given up by the operator, not lost.
    vomBedienerGetrennt_ = true;
    client_->abortConnection();
    vomBedienerGetrennt_ = false;
    if (!IsValidIP(Utf8(adresse))) {
        emit geaendert();
        return Versuch::AdresseFalsch;
    }
    const auto nummer = ParsePort(Utf8(port));
    if (!nummer) {
        emit geaendert();
        return Versuch::PortFalsch;
    }
    adresse_ = adresse;
    port_ = port;
    Versuchen(adresse, *nummer, adresse + QLatin1Char(':') + port);
    return Versuch::Laeuft;
}

void LinkControl::Versuchen(const QString& host, quint16 nummer, const QString& ziel) {
    ziel_ = ziel;
    fehlschlag_.reset();
    log_.Record(LogKind::Client, "Verbinde mit " + Utf8(ziel));
    warteStart_ = uhr_();
    wartet_ = true;
    fortschritt_ = 0;
    client_->connectToHost(host, nummer);
    // The wait is entered with progress 0, before any socket event.
    WarteTakt();
    if (wartet_)
        warteTakt_.start();
    emit geaendert();
}

void LinkControl::WarteTakt() {
    if (!wartet_)
        return;
    if (Verbunden()) {
        WarteBeenden();
        return;
    }
    using Ms = std::chrono::duration<double, std::milli>;
    const double wartezeit = Ms(kVerbindenWartezeit).count();
    const double rest = Ms(warteStart_ + kVerbindenWartezeit - uhr_()).count();
    const auto fortschritt = std::lround(100.0 - rest * 100.0 / wartezeit);
    fortschritt_ = static_cast<int>(std::clamp<long>(fortschritt, 0, 100));
    emit geaendert();
    if (fortschritt >= 100)
        WarteBeenden();
}

void LinkControl::WarteBeenden() {
    wartet_ = false;
    warteTakt_.stop();
    if (Verbunden()) {
        adresseGesperrt_ = true;
        fehlschlag_.reset();
    } else {
        fehlschlag_ = ziel_;
        log_.Record(LogKind::Client, "Konnte nicht mit " + Utf8(ziel_) + " verbinden!");
        // The operator is told the attempt failed: it must not complete behind that message.
        client_->abortConnection();
        WiederverbindenPlanen();
    }
    emit wartenBeendet();
    emit geaendert();
}

void LinkControl::Trennen() {
    vomBedienerGetrennt_ = true;
    WiederverbindenStoppen();
    client_->disconnectFromHost();
    adresseGesperrt_ = false;
    emit geaendert();
}

void LinkControl::ProbeVerbinden(quint16 port) {
    WiederverbindenStoppen();
    beendet_ = false;
    vomBedienerGetrennt_ = true;
    client_->abortConnection();
    vomBedienerGetrennt_ = false;
    probe_ = true;
    const QString host = QHostAddress(QHostAddress::LocalHost).toString();
    Versuchen(host, port, host + QLatin1Char(':') + QString::number(port));
}

void LinkControl::ProbeTrennen() {
    if (!probe_)
        return;
    vomBedienerGetrennt_ = true;
    if (wartet_) {
        wartet_ = false;
        warteTakt_.stop();
        emit wartenBeendet();
    }
    client_->abortConnection();
    probe_ = false;
    adresseGesperrt_ = false;
    emit geaendert();
}

void LinkControl::Beenden() {
    beendet_ = true;
    if (wartet_) {
        wartet_ = false;
        warteTakt_.stop();
        emit wartenBeendet();
    }
    WiederverbindenStoppen();
    frischeTakt_.stop();
    client_->abortConnection();
}

// --- automatic reconnection --------------------------------------------------------------

void LinkControl::SetzeWiederverbinden(bool an) {
    wiederverbindenAn_ = an;
    if (!an) {
        WiederverbindenStoppen();
        emit geaendert();
    }
}

void LinkControl::WiederverbindenPlanen() {
    // Never to the rehearsal's own sender, nor to the real one behind the rehearsal's back.
    if (!wiederverbindenAn_ || beendet_ || vomBedienerGetrennt_ || probe_)
        return;
    const auto jetzt = uhr_();
    if (wiederverbinden_.Active())
        wiederverbinden_.Lost(jetzt);
    else
        wiederverbinden_.StartAfterInterval(jetzt);
    wiederverbindenTakt_.start();
}

void LinkControl::WiederverbindenStoppen() {
    if (!wiederverbinden_.Active())
        return;
    wiederverbinden_.Stop();
    wiederverbindenTakt_.stop();
    if (!Verbunden())
        client_->abortConnection();
}

void LinkControl::WiederverbindenTakt() {
    for (;;) {
        switch (wiederverbinden_.Poll(uhr_())) {
            case Reconnect::Action::None:
                emit geaendert();
                return;
            case Reconnect::Action::Abandon:
                // Given up, so that it can never complete behind the next attempt.
                client_->abortConnection();
                log_.Record(LogKind::Client, "Konnte nicht mit " +
                                                 Utf8(adresse_ + QLatin1Char(':') + port_) +
                                                 " verbinden!");
                continue;
            case Reconnect::Action::Attempt: {
                const auto nummer = ParsePort(Utf8(port_));
                if (!IsValidIP(Utf8(adresse_)) || !nummer) {
                    WiederverbindenStoppen();
                    emit geaendert();
                    return;
                }
                log_.Record(LogKind::Client,
                            "Verbinde mit " + Utf8(adresse_ + QLatin1Char(':') + port_));
                client_->connectToHost(adresse_, *nummer);
                emit geaendert();
                return;
            }
        }
    }
}

// --- the link's events -------------------------------------------------------------------

void LinkControl::OnVerbunden() {
    frische_.Connected(uhr_());
    frischeTakt_.start();
    if (wartet_) {
        WarteBeenden();
        return;
    }
    if (wiederverbinden_.Active()) {
        wiederverbinden_.Connected();
        wiederverbindenTakt_.stop();
        fehlschlag_.reset();
        adresseGesperrt_ = true;
    }
    emit geaendert();
}

void LinkControl::OnGetrennt() {
    frische_.Disconnected();
    frischeTakt_.stop();
    WiederverbindenPlanen();
    emit geaendert();
}

void LinkControl::SetzeWarnschwelle(std::chrono::seconds schwelle) {
    frische_.SetThreshold(schwelle);
    emit geaendert();
}

}  // namespace zelmo::net
