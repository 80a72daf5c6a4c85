#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace zelmo::test {

inline constexpr int kToolWaitMs = 20000;

// The built `zelmo` as a child process; every wait is bounded and returns once its event came.
class Tool {
  public:
    // QProcess's destructor kills a tool still running.
    explicit Tool(const QStringList& args,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(ZELMO_TOOL), args);
    }

    // Standard output and error so far.
    const std::string& Out() { return out_ += process_.readAllStandardOutput().toStdString(); }
    const std::string& Err() { return err_ += process_.readAllStandardError().toStdString(); }

    // The capture (or the whole match) of the first output line that matches; empty if none.
    std::string WaitForLine(const QString& pattern) {
        const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
        std::string found;
        WaitUntil([&](const std::string& out) {
            const auto m = re.match(QString::fromStdString(out));
            found = m.captured(m.lastCapturedIndex()).toStdString();
            return m.hasMatch();
        });
        return found;
    }

    // Waits until the output so far satisfies `done`; false when it did not in time.
    bool WaitUntil(const std::function<bool(const std::string& out)>& done) {
        for (QDeadlineTimer deadline(kToolWaitMs);;) {
            if (done(Out()))
                return true;
            if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return false;
        }
    }

    qint64 Pid() const { return process_.processId(); }

    // Waits for the end; the exit code, or -1 when the tool did not end in time or crashed.
    int Finish() {
        process_.waitForFinished(kToolWaitMs);
        Out();
        Err();
        const bool ended = process_.state() == QProcess::NotRunning &&
                           process_.exitStatus() == QProcess::NormalExit;
        return ended ? process_.exitCode() : -1;
    }

    void Terminate() { process_.terminate(); }

  private:
    QProcess process_;
    std::string out_;
    std::string err_;
};

// A template in the program's exact file form; per line: event, page, file, tables, fields.
inline std::string VorlageText(const std::vector<std::array<std::string, 5>>& zeilen,
                               const std::string& type = "OptLiveText") {
    std::string out = "{\"Vorlage\" : {\"Zeilen\" :[";
    for (const auto& [ereignis, seite, datei, tabelle, feld] : zeilen)
        out += (out.back() == '[' ? "{\"Ereignis\": \"" : "}, {\"Ereignis\": \"") + ereignis +
               "\", \"Turnierart\": \"Alle\", \"Unterauswahl1\": \"Alle\", \"Unterauswahl2\": "
               "\"Alle\", \"Umlauf\": \"Alle\", \"Reserve\": \"\", \"Seite\": \"" +
               seite + "\", \"Dateiname\": \"" + datei + "\", \"Tabelle\": \"" + tabelle +
               "\", \"Feld\": \"" + feld + "\"";
    return out + "} ]} ,\"Ausgabeformat\" : [{\"Type\": \"" + type +
           "\",\"Trenner\" : \",\"}]}\r\n";
}

}  // namespace zelmo::test
