#include "windows/Dialoge.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zelmo::windows {

namespace {

QMessageBox::Icon Icon(Dialoge::Symbol symbol) {
    switch (symbol) {
        case Dialoge::Symbol::Kritisch:
            return QMessageBox::Critical;
        case Dialoge::Symbol::Frage:
            return QMessageBox::Question;
        case Dialoge::Symbol::Information:
            return QMessageBox::Information;
        case Dialoge::Symbol::Keins:
            break;
    }
    return QMessageBox::NoIcon;
}

QString Filter(const QString& endung) {
    return endung.isEmpty() ? QString() : QStringLiteral("*.%1 (*.%1)").arg(endung);
}

}  // namespace

void QtDialoge::Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                        Symbol symbol) {
    QMessageBox box(Icon(symbol), titel, text, QMessageBox::Ok, besitzer);
    box.exec();
}

bool QtDialoge::JaNein(QWidget* besitzer, const QString& text, const QString& titel) {
    QMessageBox box(QMessageBox::Question, titel, text, QMessageBox::Yes | QMessageBox::No,
                    besitzer);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialoge::DateiOeffnen(QWidget* besitzer, const QString& titel, const QString& startName,
                                const QString& filterEndung) {
    return QFileDialog::getOpenFileName(besitzer, titel, startName, Filter(filterEndung));
}

QString QtDialoge::DateiSpeichern(QWidget* besitzer, const QString& titel, const QString& startName,
                                  const QString& filterEndung) {
    QFileDialog dialog(besitzer, titel, startName, Filter(filterEndung));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(filterEndung);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

QString QtDialoge::Ordner(QWidget* besitzer, const QString& titel) {
    return QFileDialog::getExistingDirectory(besitzer, titel);
}

}  // namespace zelmo::windows
