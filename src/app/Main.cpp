#include "app/Main.h"

#include <QApplication>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include "net/SignalWatcher.h"
#include "platform/Platform.h"
#include "start/Catalogues.h"
#include "start/ProgramState.h"
#include "start/StartChecks.h"
#include "windows/Dialoge.h"
#include "windows/FrmLiveTextEmpfaenger.h"

namespace zelmo::app {

namespace {

QString Titel() {
    return QString::fromStdString(std::string(start::kProgramTitle));
}

// Closes every window of the program that is still open after the main window has gone,
// one after the other.
void AlleFensterSchliessen(const QWidget* hauptfenster) {
    const auto fenster = QApplication::topLevelWidgets();
    for (QWidget* w : fenster) {
        QPointer<QWidget> guard(w);
        if (guard && guard != hauptfenster && guard->isVisible())
            guard->close();
    }
}

}  // namespace

bool QtTexteDeutsch(QCoreApplication& application, const QString& ordner) {
    const QStringList ordnerListe =
        ordner.isEmpty()
            ? QStringList{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                          QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}
            : QStringList{ordner};
    for (const QString& kandidat : ordnerListe) {
        auto* texte = new QTranslator(&application);
        if (texte->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                        QStringLiteral("_"), kandidat) &&
            QCoreApplication::installTranslator(texte))
            return true;
        delete texte;
    }
    return false;
}

int Main(platform::Platform& platform, windows::Dialoge& dialoge) {
    // SIGTERM (a session's logout, a shutdown, `kill`) closes the main window as the operator
    // would, but without the editor's question, so the settings are written and the program
    // ends with 0 before the system loses patience. Watched from the start: a request that
    // comes while a start message is open is kept until the window is there.
    net::SignalWatcher signale;
    bool beendenVerlangt = false;
    QObject::connect(&signale, &net::SignalWatcher::terminationRequested,
                     [&] { beendenVerlangt = true; });

    start::StartResult startChecks = start::RunStartChecks(platform);
    if (!startChecks.GoOn()) {
        dialoge.Meldung(nullptr, QString::fromStdString(*startChecks.message), Titel());
        return 1;
    }

    start::ProgramState state;
    state.programFolder = startChecks.programFolder;
    state.folders = startChecks.folders;

    start::CatalogueLoad load = start::StarttabellenEinlesen(state.folders.catalogues);
    state.kataloge = std::move(load.catalogues);
    if (load.message)
        dialoge.Meldung(nullptr, QString::fromStdString(*load.message), Titel());

    {
        windows::FrmLiveTextEmpfaenger hauptfenster(state, state.telegramme, dialoge);
        QEventLoop schleife;
        bool entladen = false;
        QObject::connect(&hauptfenster, &windows::FrmLiveTextEmpfaenger::entladen, &schleife, [&] {
            entladen = true;
            schleife.quit();
        });
        QObject::connect(&signale, &net::SignalWatcher::terminationRequested, &hauptfenster,
                         [&] { hauptfenster.BeendenOhneFrage(); });
        hauptfenster.show();
        hauptfenster.raise();
        hauptfenster.activateWindow();
        if (beendenVerlangt)
            hauptfenster.BeendenOhneFrage();
        if (!entladen)
            schleife.exec();
        AlleFensterSchliessen(&hauptfenster);
    }
    // The single-instance lock in startChecks is held until here.
    return 0;
}

}  // namespace zelmo::app
