#pragma once

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>

#include "Endpoint.h"

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
int Relay(const QStringList& args);

// Adds --help, parses, and handles what ends the command at once: prints the help (result 0)
// or the error (result 2), which includes more arguments without an option than the command
// takes (`positional`): a stray word, such as the rest of an unquoted path with a blank, is
// refused before anything is connected or written. Nothing when the command goes on.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  qsizetype positional = 0);

// The address to listen on: an IP address, "localhost", or "*" for every interface.
std::optional<QHostAddress> ListenAddress(const std::string& host);

// False, with "--name fehlt" for the first of `required` that was not given.
bool Vorhanden(const QCommandLineParser& parser, const QStringList& args,
               std::initializer_list<const QCommandLineOption*> required);
// The option's value as a peer to connect to (HOST:PORT, port 1 to 65535); nothing, reported,
// when it is none.
std::optional<Endpoint> VerbindungsAdresse(const QCommandLineParser& parser,
                                           const QCommandLineOption& option,
                                           const QStringList& args);
// The option's value as an address to listen on (IP:PORT, port 0 picks a free one); nothing,
// reported, when it is none.
struct LauschAdresse {
    QHostAddress address;
    quint16 port = 0;
};
std::optional<LauschAdresse> LauschAdresseLesen(const QCommandLineParser& parser,
                                                const QCommandLineOption& option,
                                                const QStringList& args);

// A number of seconds from 0.05 to 86400 (a day), to the millisecond; nothing for anything else.
std::optional<std::chrono::milliseconds> ParseSeconds(const QString& text);

// The whole file; a file that does not exist or cannot be read is reported with its path and
// the system's reason ("zelmo <command>: <path>: <reason>"), and nothing is returned.
std::optional<std::string> DateiLesen(const QStringList& args, const QString& path);

// "zelmo <command>: <text>" on standard error.
void Fehler(const QStringList& args, const QString& text);

}  // namespace zelmo::tool
