#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

// Runs the built `zelmo` tool as a child process. Every wait is bounded and ends as soon as
// what it waits for has happened.
namespace zelmo::test {

inline constexpr int kToolWaitMs = 20000;

class Tool {
  public:
    explicit Tool(QStringList args) { process_.start(QStringLiteral(ZELMO_TOOL), args); }
    ~Tool() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kToolWaitMs);
        }
    }

    // Standard output and error so far.
    const std::string& Out() { return out_ += process_.readAllStandardOutput().toStdString(); }
    const std::string& Err() { return err_ += process_.readAllStandardError().toStdString(); }

    // Waits until a line of standard output matches `pattern`; returns its first capture
    // (or the whole match), empty on timeout.
    std::string WaitForLine(const QString& pattern) {
        const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
        std::string found;
        (void)QTest::qWaitFor(
            [&] {
                const QRegularExpressionMatch m = re.match(QString::fromStdString(Out()));
                if (!m.hasMatch())
                    return process_.state() == QProcess::NotRunning;
                found = m.captured(m.lastCapturedIndex() >= 1 ? 1 : 0).toStdString();
                return true;
            },
            kToolWaitMs);
        return found;
    }

    // Waits for the end of the process; its exit code, or -1 when it did not end in time or
    // crashed.
    int Finish() {
        (void)QTest::qWaitFor([&] { return process_.state() == QProcess::NotRunning; },
                              kToolWaitMs);
        Out();
        Err();
        if (process_.state() != QProcess::NotRunning ||
            process_.exitStatus() != QProcess::NormalExit)
            return -1;
        return process_.exitCode();
    }

    void Terminate() { process_.terminate(); }

  private:
    QProcess process_;
    std::string out_;
    std::string err_;
};

inline std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<fehlt>";
    return file.readAll().toStdString();
}

inline void WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The lines of a text, without their line breaks.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A template in the exact form the program writes, from rows of the ten field values.
inline std::string VorlageText(const std::vector<std::vector<std::string>>& zeilen,
                               const std::string& type = "OptLiveText") {
    static const char* kNames[] = {"Ereignis", "Turnierart", "Unterauswahl1", "Unterauswahl2",
                                   "Umlauf",   "Reserve",    "Seite",         "Dateiname",
                                   "Tabelle",  "Feld"};
    std::string out = "{\"Vorlage\" : {\"Zeilen\" :[";
    for (std::size_t z = 0; z < zeilen.size(); ++z) {
        for (std::size_t i = 0; i < 10; ++i)
            out += std::string(i ? ", \"" : "{\"") + kNames[i] + "\": \"" + zeilen[z][i] + "\"";
        out += z + 1 < zeilen.size() ? "}, " : "} ";
    }
    return out + "]} ,\"Ausgabeformat\" : [{\"Type\": \"" + type + "\",\"Trenner\" : \",\"}]}\r\n";
}

// A fresh folder per test; the application object the process waits need.
class ToolFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "zelmo_test_tools";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        ASSERT_TRUE(temp_.isValid());
    }
    QString Path(const QString& name) const { return temp_.filePath(name); }
    std::string PathText(const QString& name) const { return Path(name).toStdString(); }

    QTemporaryDir temp_;
};

}  // namespace zelmo::test
