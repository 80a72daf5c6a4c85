#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "journal/Show.h"

namespace zelmo {
class LogBook;
}

namespace zelmo::net {

class LinkControl;
class LinkJournal;
class ShowSender;

// "Probelauf": a show file played into the program itself, for a template author with no
// scoring system at hand. The program's own ShowSender listens on a loopback port and the link
// connects to it as to the real sender, so acknowledgements, evaluation and output are those
// of a show on air. Its start and end go into the client log (and so into the daily log); the
// flight recorder is off meanwhile. It ends with the show, when the operator ends it, or when
// its link fails; nothing reconnects afterwards.
class Rehearsal : public QObject {
    Q_OBJECT

  public:
    enum class Tempo { WieAufgenommen, DoppeltSoSchnell, NachJederQuittung };
    // The pace as the operator chooses it and the log names it.
    static QString TempoText(Tempo tempo);

    // `verbindung` and `log` must outlive the rehearsal; `journal` may be null (no state
    // folder) and must outlive it otherwise.
    Rehearsal(LinkControl& verbindung, LogBook& log, LinkJournal* journal,
              QObject* parent = nullptr);

    // Plays `show` (a checked show, read from `datei`), after the link has given up whatever
    // it was connected to. Why it could not start, or nothing.
    std::optional<QString> Starten(const std::vector<ShowTelegram>& show, Tempo tempo,
                                   const QString& datei);
    // The operator's end, or the program's.
    void Beenden();
    bool Laeuft() const { return sender_ != nullptr; }
    // What the state lines put first while it runs ("PROBELAUF – Telegramm 12 von 107", the
    // telegrams answered so far); empty otherwise.
    QString Kennzeichen() const;

  signals:
    // Started, ended or one telegram further.
    void geaendert();

  private:
    enum class Grund { Bediener, ShowZuEnde, KeineVerbindung, VerbindungVerloren };
    void Ende(Grund grund);

    LinkControl& verbindung_;
    LogBook& log_;
    LinkJournal* journal_;
    ShowSender* sender_ = nullptr;
    // The link has reached the rehearsal's sender: losing it from now on ends the rehearsal.
    bool verbunden_ = false;
};

}  // namespace zelmo::net
