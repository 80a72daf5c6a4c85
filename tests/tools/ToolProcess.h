#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

// Runs the built `zelmo` tool as a child process. Every wait is bounded and ends as soon as
// what it waits for has happened.
namespace zelmo::test {

inline constexpr int kToolWaitMs = 20000;

inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "zelmo_test_tools";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

class Tool {
  public:
    explicit Tool(QStringList args) {
        EnsureApp();
        process_.start(QStringLiteral(ZELMO_TOOL), args);
    }
    ~Tool() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kToolWaitMs);
        }
    }

    // Standard output so far.
    const std::string& Out() {
        out_ += process_.readAllStandardOutput().toStdString();
        return out_;
    }
    std::string Err() {
        err_ += process_.readAllStandardError().toStdString();
        return err_;
    }

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
                found = m.lastCapturedIndex() >= 1 ? m.captured(1).toStdString()
                                                   : m.captured(0).toStdString();
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
    QProcess& Process() { return process_; }

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
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

}  // namespace zelmo::test
