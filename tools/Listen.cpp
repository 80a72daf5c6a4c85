#include "Listen.h"

#include <string>

namespace zelmo::tool {

std::optional<Endpoint> Listen(QTcpServer& server, const QHostAddress& address, quint16 port,
                               Log& log, std::string_view prefix) {
    if (!server.listen(address, port)) {
        log.Line(prefix, "kann nicht auf " + address.toString().toStdString() + ":" +
                             std::to_string(port) +
                             " lauschen: " + server.errorString().toStdString());
        log.Flush();
        return std::nullopt;
    }
    return Endpoint{server.serverAddress().toString().toStdString(), server.serverPort()};
}

}  // namespace zelmo::tool
