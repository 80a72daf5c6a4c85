#pragma once

#include <QFile>
#include <QHash>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <vector>

#include "templates/Vorlage.h"

// Builders and probes shared by the window tests.
namespace zelmo::test {

// A named control; a renamed one stops the test at once instead of failing somewhere later.
template <typename T>
T* Kind(const QObject* eltern, const QString& name) {
    T* kind = eltern->findChild<T*>(name);
    if (kind == nullptr)
        qFatal("control %s missing", qPrintable(name));
    return kind;
}

// The entries of a list or a drop-down.
template <typename T>
QStringList Texte(const T* liste) {
    QStringList texte;
    for (int i = 0; i < liste->model()->rowCount(); ++i)
        texte.append(liste->model()->index(i, 0).data().toString());
    return texte;
}

inline QByteArray DateiInhalt(const QString& pfad) {
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray("<fehlt>");
}

inline bool DateiSchreiben(const QString& pfad, const QByteArray& inhalt) {
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(inhalt) == inhalt.size();
}

// A telegram as the sender frames it: ten digits of total length, then the payload.
inline QByteArray Rahmen(const QByteArray& payload) {
    return QByteArray::number(payload.size() + 10).rightJustified(10, '0') + payload;
}

// The scoring sender's side of the link on loopback: accepts connections and keeps what each
// one sent.
class Sender {
  public:
    Sender() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                verbindungen.append(socket);
                QObject::connect(socket, &QTcpSocket::readyRead,
                                 [this, socket] { empfangen[socket] += socket->readAll(); });
            }
        });
    }

    QString port() const { return QString::number(server.serverPort()); }
    QTcpSocket* letzte() const { return verbindungen.isEmpty() ? nullptr : verbindungen.last(); }
    QByteArray vonLetzter() const { return empfangen.value(letzte()); }
    // Sends one telegram; true once exactly the acknowledgement came back for it.
    bool quittiert(const QByteArray& payload) {
        const qsizetype vorher = vonLetzter().size();
        letzte()->write(Rahmen(payload));
        return QTest::qWaitFor([&] { return vonLetzter().size() >= vorher + 12; }) &&
               vonLetzter().mid(vorher) == "0000000012OK";
    }

    QTcpServer server;
    QList<QTcpSocket*> verbindungen;
    QHash<QTcpSocket*, QByteArray> empfangen;
};

// A template of the given lines; at least one.
inline Vorlage VorlageAus(const std::vector<VorlageZeile>& zeilen) {
    Vorlage v;
    v.SetzeZeile(0, zeilen.front());
    for (std::size_t i = 1; i < zeilen.size(); ++i)
        v.ZeileAnhaengen(zeilen[i]);
    return v;
}

}  // namespace zelmo::test
