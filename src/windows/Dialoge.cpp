#include "windows/Dialoge.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

// Room beside the title for the title bar's icon and buttons.
constexpr int kTitelleisteRand = 160;

// A window manager draws the title in its own bar, which the box does not measure: a box as
// narrow as its text cuts a longer title ("Ze… ext").
void TitelPlatz(QMessageBox& box, const QString& titel) {
    QFont schrift = box.font();
    schrift.setBold(true);
    const int breite = QFontMetrics(schrift).horizontalAdvance(titel) + kTitelleisteRand;
    if (auto* raster = qobject_cast<QGridLayout*>(box.layout()))
        raster->addItem(new QSpacerItem(breite, 0), raster->rowCount(), 0, 1,
                        raster->columnCount());
}

QString Filter(const QString& endung) {
    return endung.isEmpty() ? QString() : QStringLiteral("*.%1 (*.%1)").arg(endung);
}

// A file dialog takes its start folder and name as one path.
QString Start(const QString& ordner, const QString& name) {
    return ordner.isEmpty() ? name : QDir(ordner).filePath(name);
}

}  // namespace

void QtDialoge::Meldung(QWidget* besitzer, const QString& text, const QString& titel,
                        Symbol symbol) {
    QMessageBox box(Icon(symbol), titel, text, QMessageBox::Ok, besitzer);
    TitelPlatz(box, titel);
    box.exec();
}

bool QtDialoge::JaNein(QWidget* besitzer, const QString& text, const QString& titel) {
    QMessageBox box(QMessageBox::Question, titel, text, QMessageBox::Yes | QMessageBox::No,
                    besitzer);
    TitelPlatz(box, titel);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialoge::DateiOeffnen(QWidget* besitzer, const QString& titel, const QString& startOrdner,
                                const QString& startName, const QString& filterEndung) {
    return QFileDialog::getOpenFileName(besitzer, titel, Start(startOrdner, startName),
                                        Filter(filterEndung));
}

QString QtDialoge::DateiSpeichern(QWidget* besitzer, const QString& titel,
                                  const QString& startOrdner, const QString& startName,
                                  const QString& filterEndung) {
    QFileDialog dialog(besitzer, titel, Start(startOrdner, startName), Filter(filterEndung));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(filterEndung);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

QString QtDialoge::Ordner(QWidget* besitzer, const QString& titel, const QString& startOrdner) {
    return QFileDialog::getExistingDirectory(besitzer, titel, startOrdner);
}

}  // namespace zelmo::windows
