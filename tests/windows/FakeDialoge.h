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
    struct Gezeigt {
        QString titel;
        QString text;    // the message or question, or the start name of a file dialog
        QString ordner;  // where a file or folder dialog opens
    };
    QList<Gezeigt> gezeigt;  // every box and dialog, in order
    QStringList meldungen;   // the messages' texts; "! " marks a critical one
    QList<bool> jaNeinAntworten;
    QStringList pfadAntworten;  // for the file and folder dialogs

    void Meldung(QWidget*, const QString& text, const QString& titel, Symbol symbol) override {
        gezeigt.append({titel, text, {}});
        meldungen.append((symbol == Symbol::Kritisch ? "! " : "") + text);
    }
    bool JaNein(QWidget*, const QString& text, const QString& titel) override {
        gezeigt.append({titel, text, {}});
        return !jaNeinAntworten.isEmpty() && jaNeinAntworten.takeFirst();
    }
    QString DateiOeffnen(QWidget*, const QString& titel, const QString& ordner,
                         const QString& startName, const QString&) override {
        return Pfad({titel, startName, ordner});
    }
    QString DateiSpeichern(QWidget*, const QString& titel, const QString& ordner,
                           const QString& startName, const QString&) override {
        return Pfad({titel, startName, ordner});
    }
    QString Ordner(QWidget*, const QString& titel, const QString& ordner) override {
        return Pfad({titel, QString(), ordner});
    }

  private:
    QString Pfad(const Gezeigt& dialog) {
        gezeigt.append(dialog);
        return pfadAntworten.isEmpty() ? QString() : pfadAntworten.takeFirst();
    }
};

}  // namespace zelmo::test
