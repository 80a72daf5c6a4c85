#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <optional>
#include <string>
#include <string_view>

#include "Endpoint.h"
#include "Log.h"

namespace zelmo::tool {

// "kann nicht auf ADDRESS:PORT lauschen: REASON".
std::string ListenFehler(const QHostAddress& address, quint16 port, const QString& reason);

// Starts `server` listening. On failure the reason goes to the log and nothing comes back;
// otherwise the endpoint actually bound (port 0 picks a free port).
std::optional<Endpoint> Listen(QTcpServer& server, const QHostAddress& address, quint16 port,
                               Log& log, std::string_view prefix);

}  // namespace zelmo::tool
