#pragma once

#include <QString>

class QWidget;

namespace zelmo::windows {

// Every message box and file dialog of the program goes through this interface, so that
// tests answer them and nothing in a test waits for a person.
class Dialoge {
  public:
    enum class Symbol { Keins, Kritisch, Frage, Information };

    virtual ~Dialoge() = default;

    // A message box with the OK button only.
    virtual void Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                         Symbol symbol = Symbol::Keins) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool JaNein(QWidget* besitzer, const QString& text, const QString& titel) = 0;
    // File and folder choosers, opened in `startOrdner` (the working folder when empty): the
    // chosen path, or empty text when cancelled.
    virtual QString DateiOeffnen(QWidget* besitzer, const QString& titel,
                                 const QString& startOrdner, const QString& startName,
                                 const QString& filterEndung) = 0;
    virtual QString DateiSpeichern(QWidget* besitzer, const QString& titel,
                                   const QString& startOrdner, const QString& startName,
                                   const QString& filterEndung) = 0;
    virtual QString Ordner(QWidget* besitzer, const QString& titel, const QString& startOrdner) = 0;
};

// The real dialogs (QMessageBox, QFileDialog).
class QtDialoge : public Dialoge {
  public:
    void Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                 Symbol symbol) override;
    bool JaNein(QWidget* besitzer, const QString& text, const QString& titel) override;
    QString DateiOeffnen(QWidget* besitzer, const QString& titel, const QString& startOrdner,
                         const QString& startName, const QString& filterEndung) override;
    QString DateiSpeichern(QWidget* besitzer, const QString& titel, const QString& startOrdner,
                           const QString& startName, const QString& filterEndung) override;
    QString Ordner(QWidget* besitzer, const QString& titel, const QString& startOrdner) override;
};

}  // namespace zelmo::windows
