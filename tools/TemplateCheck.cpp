#include "TemplateCheck.h"

#include <algorithm>

#include "output/TabellenLauf.h"
#include "templates/GrossKlein.h"
#include "templates/VorlageDatei.h"

namespace zelmo::tool {

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool Enthaelt(const std::vector<std::string>& liste, const std::string& text) {
    return std::find(liste.begin(), liste.end(), text) != liste.end();
}

bool IstSeitennummer(const std::string& seite) {
    return seite.size() == 2 && seite[0] >= '0' && seite[0] <= '9' && seite[1] >= '0' &&
           seite[1] <= '9' && seite != "00";
}

class Pruefung {
  public:
    Pruefung(const Vorlage& vorlage, const start::Catalogues& kataloge)
        : vorlage_(vorlage),
          ereignisse_(start::EventNames(kataloge)),
          tabellen_(start::TableNames(kataloge)),
          kataloge_(kataloge) {}

    std::vector<Befund> Laufen() {
        for (std::size_t r = 0; r < vorlage_.Zeilenanzahl(); ++r) {
            zeile_ = r + 1;
            const VorlageZeile& z = vorlage_.Zeile(r);
            Ereignis(z[SpaltenIndex(Spalte::Ereignis)]);
            Seite(z[SpaltenIndex(Spalte::Seite)]);
            Dateiname(z[SpaltenIndex(Spalte::Dateiname)]);
            TabellenUndFelder(z[SpaltenIndex(Spalte::Tabelle)], z[SpaltenIndex(Spalte::Feld)]);
        }
        return std::move(befunde_);
    }

  private:
    void Melden(std::string text) { befunde_.push_back({zeile_, std::move(text)}); }

    void Ereignis(const std::string& ereignis) {
        if (ereignis.empty()) {
            Melden("Ereignis fehlt");
            return;
        }
        // The run compares event names ignoring case, so only a name that no spelling of a
        // catalogue entry matches can never fire.
        const bool bekannt =
            std::any_of(ereignisse_.begin(), ereignisse_.end(),
                        [&](const std::string& e) { return GleichOhneGrossKlein(e, ereignis); });
        if (!bekannt)
            Melden("Ereignis " + Quoted(ereignis) + " steht nicht im Ereigniskatalog");
    }

    void Seite(const std::string& seite) {
        // Only LiveText output shows a page; CSV output does not read the column.
        if (vorlage_.Format() != Ausgabeformat::LiveText)
            return;
        if (seite.empty())
            Melden("Seite fehlt");
        else if (!IstSeitennummer(seite))
            Melden("Seite " + Quoted(seite) + " ist keine Seitennummer von 01 bis 99");
    }

    void Dateiname(const std::string& dateiname) {
        if (dateiname.empty())
            Melden("Dateiname fehlt");
        else if (DateinamePruefen(dateiname) != dateiname)
            Melden(
                "Dateiname " + Quoted(dateiname) +
                " enthält ein Zeichen, das ein Dateiname nicht haben darf (\\ / : * ? \" > < |)");
        else if (!DateinameZulaessig(dateiname))
            Melden("Dateiname " + Quoted(dateiname) + " ist kein Dateiname");
    }

    void TabellenUndFelder(const std::string& tabelle, const std::string& feld) {
        if (tabelle.empty())
            Melden("Tabelle fehlt");
        if (feld.empty())
            Melden("Feld fehlt");
        if (tabelle.empty() || feld.empty())
            return;

        const std::vector<std::string> tabellen = ausgabe::ZellenZeilen(tabelle);
        const std::vector<std::string> felder = ausgabe::ZellenZeilen(feld);
        if (tabellen.size() != felder.size())
            Melden(std::to_string(tabellen.size()) + " Tabellen, aber " +
                   std::to_string(felder.size()) + " Feldlisten: jede Tabelle braucht ihre " +
                   "Feldliste in derselben Zeile");
        if (tabellen.size() > 3)
            Melden("mehr als drei Tabellen (" + std::to_string(tabellen.size()) + ")");

        for (std::size_t k = 0; k < tabellen.size(); ++k)
            Tabelle(tabellen[k], k < felder.size() ? &felder[k] : nullptr);
    }

    void Tabelle(const std::string& tabelle, const std::string* feldliste) {
        if (tabelle.empty()) {
            Melden("leere Tabellenzeile");
            return;
        }
        const bool imKatalog = Enthaelt(tabellen_, tabelle);
        if (!imKatalog)
            Melden("Tabelle " + Quoted(tabelle) + " steht nicht im Tabellenkatalog");
        // A name the catalogue does not know is reported as such; one it knows may still be
        // a section the writers cannot output.
        else if (ausgabe::ArtDerTabelle(tabelle) == ausgabe::Tabellenart::Unbekannt)
            Melden("Tabelle " + Quoted(tabelle) +
                   " kann nicht ausgegeben werden: die Ausgabe endet bei ihr");
        if (feldliste == nullptr)
            return;

        const std::vector<std::string> felder = ausgabe::Teilen(*feldliste, ',');
        if (felder.size() > ausgabe::kMaxFelder)
            Melden("Tabelle " + Quoted(tabelle) + ": " + std::to_string(felder.size()) +
                   " Felder, nur die ersten sechs werden ausgegeben");
        const std::vector<std::string> katalogFelder =
            imKatalog ? start::TableFields(kataloge_, tabelle) : std::vector<std::string>{};
        for (const std::string& f : felder) {
            if (f.empty())
                Melden("leerer Feldname bei Tabelle " + Quoted(tabelle));
            else if (imKatalog && !Enthaelt(katalogFelder, f))
                Melden("Feld " + Quoted(f) + " steht im Tabellenkatalog nicht bei Tabelle " +
                       Quoted(tabelle));
        }
    }

    const Vorlage& vorlage_;
    const std::vector<std::string> ereignisse_;
    const std::vector<std::string> tabellen_;
    const start::Catalogues& kataloge_;
    std::size_t zeile_ = 0;
    std::vector<Befund> befunde_;
};

}  // namespace

std::vector<Befund> VorlagePruefen(const Vorlage& vorlage, const start::Catalogues& kataloge) {
    return Pruefung(vorlage, kataloge).Laufen();
}

}  // namespace zelmo::tool
