#pragma once

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

// The subcommands of the `zelmo` tool. Each takes its arguments with its own name in front
// ("zelmo receive", "--connect", ...) and returns the process's exit code:
//   0 done, 1 a finding (template check) or a failed run, 2 unusable arguments or input.
namespace zelmo::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int Receive(const QStringList& args);
int Simulate(const QStringList& args);
int Record(const QStringList& args);
int Template(const QStringList& args);
int Bench(const QStringList& args);

// Adds --help, parses, and handles what ends the command at once: prints the help (result 0)
// or the error (result 2), which includes more arguments without an option than the command
// takes (`positional`): a stray word, such as the rest of an unquoted path with a blank, is
// refused before anything is connected or written. Nothing when the command goes on.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  qsizetype positional = 0);

// The address to listen on: an IP address, "localhost", or "*" for every interface.
std::optional<QHostAddress> ListenAddress(const std::string& host);

// The whole file; a file that does not exist or cannot be read is reported with its path and
// the system's reason ("zelmo <command>: <path>: <reason>"), and nothing is returned.
std::optional<std::string> DateiLesen(const QStringList& args, const QString& path);

// "zelmo <command>: <text>" on standard error.
void Fehler(const QStringList& args, const QString& text);

}  // namespace zelmo::tool
