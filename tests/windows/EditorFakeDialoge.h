#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "windows/Dialoge.h"

namespace zelmo::test {

// Dialogs for the editor tests: records every message, question and file dialog and answers
// from queues. An unanswered question says No and an unanswered file dialog is cancelled, so
// a test that forgot an answer changes nothing rather than hangs.
class EditorFakeDialoge : public windows::Dialoge {
  public:
    struct Meldung {
        QString text;
        QString titel;
        Symbol symbol;
    };
    struct DateiDialog {
        QString titel;
        QString startName;
        QString filterEndung;
    };

    QList<Meldung> meldungen;
    QList<Meldung> fragen;
    QList<DateiDialog> oeffnen;
    QList<DateiDialog> speichern;

    QList<bool> antworten;
    QStringList dateien;

    QStringList Texte() const {
        QStringList texte;
        for (const auto& m : meldungen) {
            texte.append(m.text);
        }
        return texte;
    }

    void Meldung(QWidget*, const QString& text, const QString& titel, Symbol symbol) override {
        meldungen.append({text, titel, symbol});
    }
    bool JaNein(QWidget*, const QString& text, const QString& titel) override {
        fragen.append({text, titel, Symbol::Frage});
        return antworten.isEmpty() ? false : antworten.takeFirst();
    }
    QString DateiOeffnen(QWidget*, const QString& titel, const QString& startName,
                         const QString& filterEndung) override {
        oeffnen.append({titel, startName, filterEndung});
        return dateien.isEmpty() ? QString() : dateien.takeFirst();
    }
    QString DateiSpeichern(QWidget*, const QString& titel, const QString& startName,
                           const QString& filterEndung) override {
        speichern.append({titel, startName, filterEndung});
        return dateien.isEmpty() ? QString() : dateien.takeFirst();
    }
    QString Ordner(QWidget*, const QString&) override { return QString(); }
};

}  // namespace zelmo::test
