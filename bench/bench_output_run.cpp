// One output run from event text to data file and control.txt replaced on disk: a dozen-line
// template over a realistic telegram (event, current rider, start list).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "component/Collection.h"
#include "link/SampleTelegram.h"
#include "templates/AusgabeLauf.h"
#include "templates/Vorlage.h"

namespace {

// A show template: several events, some with competing lines so that the scoring decides.
zelmo::Vorlage ShowVorlage(zelmo::Ausgabeformat format) {
    const std::string tabellen = "Ereignis\r\nAktReiter\r\nStartliste\r\nPruefung";
    const std::string felder =
        "Status,Wert1\r\nReiter,Pferd,Land,Zeit\r\nStartNr,Reiter,Pferd,Land,Nation,Zeit\r\nTitel";
    const zelmo::VorlageZeile zeilen[] = {
        {"Start", "Alle", "", "", "Alle", "", "01", "start", "Ereignis\r\nAktReiter",
         "Status\r\nReiter,Pferd"},
        {"Ziel", "Alle", "", "", "Alle", "", "02", "ziel", "AktReiter", "Reiter,Zeit,Fehler"},
        {"Zwischenzeit", "Alle", "", "", "Alle", "", "03", "zwischen", "ZeitLaeuft", "Zeit"},
        {"ReiterNeu", "Zeitspringen", "", "", "Alle", "", "10", "falsch", tabellen, felder},
        {"ReiterNeu", "Alle", "", "", "Alle", "", "11", "reiter", tabellen, felder},
        {"ReiterNeu", "Normalspringen", "mit Stechen", "", "1", "", "12", "reiter", tabellen,
         felder},
        {"ReiterNeu", "Alle", "Siegerrunde", "", "Alle", "", "13", "falsch", tabellen, felder},
        {"ReiterNeu", "Alle", "", "Stilspringen", "2", "", "14", "falsch", tabellen, felder},
        {"Ergebnis", "Alle", "", "", "Alle", "", "20", "ergebnis", "Ergebnisliste", "Rang,Reiter"},
        {"Siegerehrung", "Alle", "", "", "Alle", "", "30", "sieger", "Ergebnisliste", "Reiter"},
        {"Countdown", "Alle", "", "", "Alle", "", "40", "countdown", "CountdownLaeuft", "Zeit"},
        {"Pruefung", "Alle", "", "", "Alle", "", "50", "pruefung", "Pruefung\r\nVeranstaltung",
         "Titel,Sponsor\r\nName,Ort"},
    };
    zelmo::Vorlage v;
    v.SetzeZeile(0, zeilen[0]);
    for (std::size_t i = 1; i < std::size(zeilen); ++i) {
        v.ZeileAnhaengen(zeilen[i]);
    }
    v.SetzeFormat(format);
    v.SetzeTrenner(";");
    return v;
}

class TempOrdner {
  public:
    TempOrdner() {
        std::string muster =
            (std::filesystem::temp_directory_path() / "zelmo-bench-XXXXXX").string();
        if (::mkdtemp(muster.data()) != nullptr) {
            pfad_ = muster;
        }
    }
    ~TempOrdner() {
        std::error_code ec;
        if (!pfad_.empty()) {
            std::filesystem::remove_all(pfad_, ec);
        }
    }
    const std::string& Pfad() const { return pfad_; }

  private:
    std::string pfad_;
};

void OutputRun(benchmark::State& state, zelmo::Ausgabeformat format) {
    const std::string json = zelmo::link::SampleTelegram(static_cast<int>(state.range(0)));
    const zelmo::Collection telegramm = zelmo::JSONDecodieren(json);
    const zelmo::Collection aktUml = telegramm.Find("AktUml");
    const zelmo::Collection umlaufdaten = telegramm.Find("Umlaufdaten");
    const zelmo::Vorlage vorlage = ShowVorlage(format);
    const TempOrdner ordner;
    if (ordner.Pfad().empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    zelmo::AusgabeLaufZustand zustand;
    zustand.Ausgabe.MitVorschau = state.range(1) != 0;
    state.SetLabel(std::to_string(json.size() / 1024) + " KB telegram" +
                   (zustand.Ausgabe.MitVorschau ? "" : ", no preview"));
    for (auto _ : state) {
        const auto ergebnis =
            zelmo::AusgabeLauf(vorlage,
                               "ReiterNeu\x1b"
                               "101\x1b\x1b\x1b",
                               telegramm, aktUml, umlaufdaten, ordner.Pfad(), zustand);
        benchmark::DoNotOptimize(ergebnis);
    }
    if (zustand.Ausgabe.GeschriebeneDateien.empty() || !zustand.Ausgabe.Warnungen.empty()) {
        state.SkipWithError(("nothing written: " + zustand.Ausgabe.Warnungen).c_str());
    }
}

void OutputRunLiveText(benchmark::State& state) {
    OutputRun(state, zelmo::Ausgabeformat::LiveText);
}
// range(0): riders in the start list; range(1): whether the preview is filled (the desktop
// program) or not (the headless receiver).
BENCHMARK(OutputRunLiveText)
    ->Args({40, 1})
    ->Args({40, 0})
    ->Args({500, 1})
    ->Args({500, 0})
    ->Unit(benchmark::kMicrosecond);

void OutputRunCSV(benchmark::State& state) {
    OutputRun(state, zelmo::Ausgabeformat::CSVNurDaten);
}
BENCHMARK(OutputRunCSV)->Args({40, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
