#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "journal/DailyLog.h"
#include "journal/FlightRecorder.h"
#include "link/LogBook.h"
#include "link/Receiver.h"

namespace zelmo::net {

class LinkClient;

// The desktop program's files that outlive the window, in FOLDER (the state folder): every line
// of the log book also goes to the daily log Protokolle/JJJJ-MM-TT.log, in the form
// `zelmo receive --log-dir` writes, and every telegram the link receives to the flight recorder
// Mitschnitt/JJJJ-MM-TT.jsonl.
//
// Nothing is written on a telegram's way to its acknowledgement: its lines are kept with the
// times the log book gave them and written on the next turn of the event loop, its recording
// right after the acknowledgement has gone out. A file that cannot be written is reported once
// through LogBook::Notice and stays the book's file fault until it is written again; output and
// acknowledgements go on.
class LinkJournal : public QObject, private TelegramObserver {
    Q_OBJECT

  public:
    // `log` and `client` must outlive the journal.
    LinkJournal(LogBook& log, LinkClient& client, const std::string& folder,
                QObject* parent = nullptr);
    // Writes the lines still kept.
    ~LinkJournal() override;

    // Off while a rehearsal plays a show into the link: a replay appended to the day's
    // recording would mix into the record of the real show, and could append to the very file
    // being played. The daily log goes on.
    void SetzeMitschnitt(bool an) { mitschnitt_ = an; }

  signals:
    // A notice went into the log book, or its file fault changed.
    void geaendert();

  private:
    // The recorder reads the log book's clock, so that a recording and its log lines agree.
    class BookClock final : public journal::LocalClock {
      public:
        explicit BookClock(LogBook& log) : log_(log) {}
        journal::LocalMoment Now() override { return log_.Now(); }

      private:
        LogBook& log_;
    };

    void Keep(LogKind kind, std::string_view text, journal::LocalMoment at);
    void Write();
    void Telegram(std::string_view payloadUtf8, bool json) override;
    // A journal's notice into the log book; `fault` is that journal's part of the file fault.
    void Report(const std::optional<journal::Notice>& notice, std::optional<std::string>& fault);
    void ShowFault();

    LogBook& log_;
    LinkClient& client_;
    std::size_t observer_;
    BookClock clock_;
    journal::DailyLog daily_;
    journal::FlightRecorder recorder_;
    QTimer writeSoon_;
    // Lines kept, "kind: text\n" each, with each one's time and where it starts; two sets, so
    // that lines kept while the others are written wait for the next turn.
    struct Kept {
        std::string lines;
        std::vector<std::pair<journal::LocalMoment, std::size_t>> starts;
    };
    Kept kept_;
    Kept writing_;
    std::string line_;
    std::optional<std::string> logFault_;
    std::optional<std::string> recordFault_;
    bool mitschnitt_ = true;
};

}  // namespace zelmo::net
