#include "Listen.h"

#include <string>

namespace zelmo::tool {

std::string ListenFehler(const QHostAddress& address, quint16 port, const QString& reason) {
    return "kann nicht auf " + address.toString().toStdString() + ":" + std::to_string(port) +
           " lauschen: " + reason.toStdString();
}

std::optional<Endpoint> Listen(QTcpServer& server, const QHostAddress& address, quint16 port,
                               Log& log, std::string_view prefix) {
    if (!server.listen(address, port)) {
        log.Line(prefix, ListenFehler(address, port, server.errorString()));
        log.Flush();
        return std::nullopt;
    }
    return Endpoint{server.serverAddress().toString().toStdString(), server.serverPort()};
}

}  // namespace zelmo::tool
