#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include "windows/Dialoge.h"

namespace zelmo::windows::test {

// Stands in for the program's message boxes and file dialogs: records what would have been
// shown and answers from queues. An empty queue answers No / cancelled and counts it, so a
// test notices a dialog it did not expect.
class FakeDialoge : public Dialoge {
  public:
    enum class Art { Meldung, JaNein, DateiOeffnen, DateiSpeichern, Ordner };

    struct Gezeigt {
        Art art;
        QString titel;
        QString text;  // the message, or the start name of a file dialog
        QString filterEndung;
        Symbol symbol = Symbol::Keins;
        QWidget* besitzer = nullptr;
    };

    QList<Gezeigt> gezeigt;
    QQueue<bool> jaNeinAntworten;
    QQueue<QString> pfadAntworten;  // for DateiOeffnen, DateiSpeichern and Ordner
    int ohneAntwort = 0;

    void Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                 Symbol symbol) override {
        gezeigt.append({Art::Meldung, titel, text, QString(), symbol, besitzer});
    }
    bool JaNein(QWidget* besitzer, const QString& text, const QString& titel) override {
        gezeigt.append({Art::JaNein, titel, text, QString(), Symbol::Frage, besitzer});
        if (jaNeinAntworten.isEmpty()) {
            ++ohneAntwort;
            return false;
        }
        return jaNeinAntworten.dequeue();
    }
    QString DateiOeffnen(QWidget* besitzer, const QString& titel, const QString& startName,
                         const QString& filterEndung) override {
        gezeigt.append(
            {Art::DateiOeffnen, titel, startName, filterEndung, Symbol::Keins, besitzer});
        return Pfad();
    }
    QString DateiSpeichern(QWidget* besitzer, const QString& titel, const QString& startName,
                           const QString& filterEndung) override {
        gezeigt.append(
            {Art::DateiSpeichern, titel, startName, filterEndung, Symbol::Keins, besitzer});
        return Pfad();
    }
    QString Ordner(QWidget* besitzer, const QString& titel) override {
        gezeigt.append({Art::Ordner, titel, QString(), QString(), Symbol::Keins, besitzer});
        return Pfad();
    }

    // The texts of the message boxes shown (Meldung only), in order.
    QStringList Meldungen() const {
        QStringList texte;
        for (const Gezeigt& g : gezeigt)
            if (g.art == Art::Meldung)
                texte.append(g.text);
        return texte;
    }

  private:
    QString Pfad() {
        if (pfadAntworten.isEmpty()) {
            ++ohneAntwort;
            return QString();
        }
        return pfadAntworten.dequeue();
    }
};

}  // namespace zelmo::windows::test
