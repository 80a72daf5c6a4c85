#pragma once

#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <initializer_list>
#include <string>

#include "component/Collection.h"
#include "start/Catalogues.h"
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

inline QStringList Texte(const QListWidget* liste) {
    QStringList texte;
    for (int i = 0; i < liste->count(); ++i)
        texte.append(liste->item(i)->text());
    return texte;
}

inline QStringList Eintraege(const QComboBox* combo) {
    QStringList texte;
    for (int i = 0; i < combo->count(); ++i)
        texte.append(combo->itemText(i));
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
    void senden(const QByteArray& bytes) {
        letzte()->write(bytes);
        letzte()->flush();
    }
    // Sends one telegram; true once exactly the acknowledgement came back for it.
    bool quittiert(const QByteArray& payload) {
        const qsizetype vorher = vonLetzter().size();
        senden(Rahmen(payload));
        return QTest::qWaitFor([&] { return vonLetzter().size() >= vorher + 12; }) &&
               vonLetzter().mid(vorher) == "0000000012OK";
    }

    QTcpServer server;
    QList<QTcpSocket*> verbindungen;
    QHash<QTcpSocket*, QByteArray> empfangen;
};

// A template whose lines are given; at least one.
inline Vorlage VorlageAus(std::initializer_list<VorlageZeile> zeilen) {
    Vorlage v;
    bool erste = true;
    for (const auto& zeile : zeilen) {
        if (erste)
            v.SetzeZeile(0, zeile);
        else
            v.ZeileAnhaengen(zeile);
        erste = false;
    }
    return v;
}

// A line that only names its event.
inline VorlageZeile NurEreignis(const std::string& ereignis) {
    VorlageZeile z;
    z[0] = ereignis;
    return z;
}

// Catalogues as the start reads them: tables with their fields, and event names.
inline start::Catalogues Kataloge() {
    start::Catalogues k;
    k.TabellenKatalog = JSONDecodieren(
        R"({"Ereignis": ["Status", "Zeit"], "Startliste": ["Name", "Land", "Pferd"],)"
        R"( "Pruefung": ["Ort", "Name"], "Leer": []})");
    k.EreignisKatalog = JSONDecodieren(R"({"Ereignisse": ["Start", "Ziel", "Zwischenzeit"]})");
    k.EreignisListe = k.EreignisKatalog.Item("Ereignisse");
    return k;
}

}  // namespace zelmo::test
