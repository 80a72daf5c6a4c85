#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "windows/Dialoge.h"

namespace zelmo::test {

// Stands in for the program's message boxes and file dialogs: records what would have been
// shown and answers from queues. An empty queue answers No or cancels, so a test that forgot
// an answer changes nothing rather than waits for a person.
class FakeDialoge : public windows::Dialoge {
  public:
    enum class Art { Meldung, JaNein, DateiOeffnen, DateiSpeichern, Ordner };

    struct Gezeigt {
        Art art;
        QString titel;
        QString text;  // the message, or the start name of a file dialog
        Symbol symbol = Symbol::Keins;
        QWidget* besitzer = nullptr;
    };

    QList<Gezeigt> gezeigt;
    QList<bool> jaNeinAntworten;
    QStringList pfadAntworten;  // for DateiOeffnen, DateiSpeichern and Ordner

    void Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                 Symbol symbol) override {
        gezeigt.append({Art::Meldung, titel, text, symbol, besitzer});
    }
    bool JaNein(QWidget* besitzer, const QString& text, const QString& titel) override {
        gezeigt.append({Art::JaNein, titel, text, Symbol::Frage, besitzer});
        return !jaNeinAntworten.isEmpty() && jaNeinAntworten.takeFirst();
    }
    QString DateiOeffnen(QWidget* besitzer, const QString& titel, const QString& startName,
                         const QString&) override {
        gezeigt.append({Art::DateiOeffnen, titel, startName, Symbol::Keins, besitzer});
        return Pfad();
    }
    QString DateiSpeichern(QWidget* besitzer, const QString& titel, const QString& startName,
                           const QString&) override {
        gezeigt.append({Art::DateiSpeichern, titel, startName, Symbol::Keins, besitzer});
        return Pfad();
    }
    QString Ordner(QWidget* besitzer, const QString& titel) override {
        gezeigt.append({Art::Ordner, titel, QString(), Symbol::Keins, besitzer});
        return Pfad();
    }

    // The texts of the message boxes shown, in order.
    QStringList Meldungen() const {
        QStringList texte;
        for (const Gezeigt& g : gezeigt)
            if (g.art == Art::Meldung)
                texte.append(g.text);
        return texte;
    }

  private:
    QString Pfad() { return pfadAntworten.isEmpty() ? QString() : pfadAntworten.takeFirst(); }
};

}  // namespace zelmo::test
