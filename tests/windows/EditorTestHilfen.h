#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <string>

#include "component/Collection.h"
#include "start/Catalogues.h"
#include "templates/Vorlage.h"

// Small builders shared by the editor and dialog tests.
namespace zelmo::test {

// A template whose lines are given; at least one.
inline Vorlage VorlageAus(std::initializer_list<VorlageZeile> zeilen) {
    Vorlage v;
    bool erste = true;
    for (const auto& zeile : zeilen) {
        if (erste) {
            v.SetzeZeile(0, zeile);
            erste = false;
        } else {
            v.ZeileAnhaengen(zeile);
        }
    }
    return v;
}

// A line that only names its event.
inline VorlageZeile NurEreignis(const std::string& ereignis) {
    VorlageZeile z;
    z[0] = ereignis;
    return z;
}

// The Ereignis column, top to bottom.
inline QStringList Ereignisse(const Vorlage& v) {
    QStringList liste;
    for (const auto& zeile : v.Zeilen()) {
        liste.append(QString::fromStdString(zeile[0]));
    }
    return liste;
}

inline QByteArray DateiInhalt(const QString& pfad) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        return QByteArray("<fehlt>");
    }
    return datei.readAll();
}

inline bool DateiSchreiben(const QString& pfad, const QByteArray& inhalt) {
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(inhalt) == inhalt.size();
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
