#include "net/Rehearsal.h"

#include <QHostAddress>
#include <memory>

#include "component/Error.h"
#include "journal/ShowPlayer.h"
#include "link/LogBook.h"
#include "net/LinkClient.h"
#include "net/LinkControl.h"
#include "net/LinkJournal.h"
#include "net/ShowSender.h"

namespace zelmo::net {

namespace {

ShowPlayer::Pace Pace(Rehearsal::Tempo tempo) {
    switch (tempo) {
        case Rehearsal::Tempo::WieAufgenommen:
            return ShowPlayer::Pace::AsRecorded(1.0);
        case Rehearsal::Tempo::DoppeltSoSchnell:
            return ShowPlayer::Pace::AsRecorded(2.0);
        case Rehearsal::Tempo::NachJederQuittung:
            break;
    }
    return ShowPlayer::Pace::AfterEachAcknowledgement();
}

}  // namespace

QString Rehearsal::TempoText(Tempo tempo) {
    switch (tempo) {
        case Tempo::WieAufgenommen:
            return QStringLiteral("wie aufgenommen");
        case Tempo::DoppeltSoSchnell:
            return QStringLiteral("doppelt so schnell");
        case Tempo::NachJederQuittung:
            break;
    }
    return QStringLiteral("jedes Telegramm gleich nach der Quittung des vorigen");
}

Rehearsal::Rehearsal(LinkControl& verbindung, LogBook& log, LinkJournal* journal, QObject* parent)
    : QObject(parent), verbindung_(verbindung), log_(log), journal_(journal) {
    LinkClient& client = verbindung_.Client();
    connect(&client, &LinkClient::connected, this, [this] { verbunden_ = Laeuft(); });
    connect(&client, &LinkClient::disconnected, this, [this] {
        if (Laeuft() && verbunden_)
            Ende(sender_->player().Done() ? Grund::ShowZuEnde : Grund::VerbindungVerloren);
    });
    connect(&verbindung_, &LinkControl::wartenBeendet, this, [this] {
        if (Laeuft() && !verbindung_.Verbunden())
            Ende(Grund::KeineVerbindung);
    });
}

std::optional<QString> Rehearsal::Starten(const std::vector<ShowTelegram>& show, Tempo tempo,
                                          const QString& datei) {
    if (Laeuft())
        return QStringLiteral("Es läuft schon ein Probelauf.");
    std::unique_ptr<ShowSender> sender;
    try {
        sender = std::make_unique<ShowSender>(show, Pace(tempo), false, this);
    } catch (const Error& e) {
        return QString::fromStdString(e.what());
    }
    if (!sender->listen(QHostAddress::LocalHost, 0))
        return sender->errorString();
    // Off before the first telegram can come.
    if (journal_ != nullptr)
        journal_->SetzeMitschnitt(false);
    log_.Write(LogKind::Client, QStringLiteral("Probelauf gestartet: %1, %2 Telegramme, Tempo %3")
                                    .arg(datei)
                                    .arg(show.size())
                                    .arg(TempoText(tempo))
                                    .toStdString());
    // The real connection, given up here, is not the rehearsal's to lose.
    verbunden_ = false;
    verbindung_.ProbeVerbinden(sender->serverPort());
    sender_ = sender.release();
    connect(sender_, &ShowSender::progress, this, &Rehearsal::geaendert);
    connect(sender_, &ShowSender::finished, this, [this] {
        Ende(sender_->player().Done() ? Grund::ShowZuEnde : Grund::VerbindungVerloren);
    });
    emit geaendert();
    return std::nullopt;
}

void Rehearsal::Beenden() {
    if (Laeuft())
        Ende(Grund::Bediener);
}

void Rehearsal::Ende(Grund grund) {
    // Not running from here on: the link's end below reports back.
    ShowSender* sender = sender_;
    sender_ = nullptr;
    sender->disconnect(this);
    sender->stop();
    const ShowPlayer::Statistics& stats = sender->player().Stats();
    QString wie;
    switch (grund) {
        case Grund::Bediener:
            wie = QStringLiteral("abgebrochen");
            break;
        case Grund::ShowZuEnde:
            wie = QStringLiteral("Show zu Ende");
            break;
        case Grund::KeineVerbindung:
            wie = QStringLiteral("keine Verbindung zum Sender des Probelaufs");
            break;
        case Grund::VerbindungVerloren:
            wie = QStringLiteral("Verbindung verloren");
            break;
    }
    const std::string zeile = QStringLiteral("Probelauf beendet (%1): gesendet %2, quittiert %3")
                                  .arg(wie)
                                  .arg(stats.sent)
                                  .arg(stats.acknowledged)
                                  .toStdString();
    verbindung_.ProbeTrennen();
    // No telegram of the rehearsal can come any more.
    if (journal_ != nullptr)
        journal_->SetzeMitschnitt(true);
    log_.Write(LogKind::Client, zeile);
    // Maybe inside one of its own signals.
    sender->deleteLater();
    emit geaendert();
}

QString Rehearsal::Kennzeichen() const {
    if (!Laeuft())
        return {};
    return QStringLiteral("PROBELAUF – Telegramm %1 von %2")
        .arg(sender_->player().Position())
        .arg(sender_->player().Total());
}

}  // namespace zelmo::net
