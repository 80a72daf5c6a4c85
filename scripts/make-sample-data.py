#!/usr/bin/env python3
"""Writes the sample show data/show.jsonl and the sample template data/LiveText.json.

    python3 scripts/make-sample-data.py build/default

The show is a Grand Prix with a jump-off as the scoring sender reports it: the competition
is announced, ten riders jump the first round (times running, finishes, a fall, a
retirement, the result list after each rider), the four clear riders jump the jump-off, and
the team ranking closes the show. Telegrams come 120-260 ms apart, so the show plays in
about half a minute.

The template is written by `zelmo template format` from the build folder given, so that it
is byte for byte the form the program itself writes. The output is deterministic.
"""

import json
import os
import random
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Raw:
    """A JSON number written exactly as given ("65.30" stays 65.30)."""

    def __init__(self, text):
        self.text = text


def dump(value):
    if isinstance(value, Raw):
        return value.text
    if isinstance(value, dict):
        return "{" + ", ".join(json.dumps(k, ensure_ascii=False) + ": " + dump(v)
                               for k, v in value.items()) + "}"
    if isinstance(value, list):
        return "[" + ", ".join(dump(v) for v in value) + "]"
    return json.dumps(value, ensure_ascii=False)


RIDERS = [
    # StartNr, Vorname, Nachname, Pferd, Land, Nation, Verein
    (101, "Jürgen", "Müller", "Comet's Dream", "GER", "Deutschland", "RFV Warendorf"),
    (102, "Anna", "Schröder", "Quintus Ö", "AUT", "Österreich", "URC Salzburg"),
    (103, "Lars", "Bergmann", "Cheyenne Blue II", "GER", "Deutschland", "RV Rheinberg"),
    (104, "Sophie", "Weißmann", "Fürst Hektor", "SUI", "Schweiz", "CE Zürich"),
    (105, "Maximilian", "Kühn", "Ballerina", "GER", "Deutschland", "RV Münster"),
    (106, "Lea", "Großmann", "Cassiopeia", "NED", "Niederlande", "HV Eindhoven"),
    (107, "Björn", "Albers", "Grand Cru", "GER", "Deutschland", "RFV Marl"),
    (108, "Clara", "Brockmann", "Larissa", "BEL", "Belgien", "CS Gent"),
    (109, "Philipp", "Dreßler", "Zafira", "FRA", "Frankreich", "CH Deauville"),
    (110, "Marie", "Niemeyer", "Mylady Caramel", "GER", "Deutschland", "RV Aachen"),
]

# Round one: faults and time, or how the round ended. Four clear rounds go to the jump-off.
ROUND1 = {
    101: (0, "71.84"), 102: (4, "74.12"), 103: (0, "69.57"), 104: ("Ausgeschieden", None),
    105: (8, "76.30"), 106: (0, "72.08"), 107: (4, "70.95"), 108: ("Aufgegeben", None),
    109: (0, "73.41"), 110: (1, "79.02"),
}
JUMP_OFF = {103: (0, "38.21"), 101: (4, "36.90"), 106: (0, "39.75"), 109: (0, "37.64")}
PRIZES = ["5.000,00 €", "3.500,00 €", "2.500,00 €", "1.800,00 €", "1.200,00 €", "900,00 €",
          "700,00 €", "500,00 €"]

random.seed(20240611)
show = []
clock = 0


def rider(nr):
    for r in RIDERS:
        if r[0] == nr:
            return r
    raise KeyError(nr)


def rider_record(nr, startplatz, extra=None):
    _, vorname, nachname, pferd, land, nation, verein = rider(nr)
    record = {
        "StartNr": str(nr), "Startplatz": str(startplatz), "Reiter": vorname + " " + nachname,
        "Vorname": vorname, "Nachname": nachname, "Pferd": pferd, "Land": land,
        "Nation": nation, "Verein": verein,
    }
    record.update(extra or {})
    return record


def record_list(records):
    # Record lists carry one index member per record beside "Records": the output walks the
    # section's own entry count.
    section = {"Records": records}
    for i, r in enumerate(records):
        section["Nr" + str(i)] = Raw(r["StartNr"])
    return section


def ereignis(status, wert1="", wert2="", wert3="", wert4=""):
    return {"Befehl": "Befehl", "Status": status, "Wert1": wert1, "Wert2": wert2,
            "Wert3": wert3, "Wert4": wert4}


def umlauf(n):
    return {"strAktUml": str(n), "Umlauf": Raw(str(n))}


UMLAUFDATEN = {"Records": [{
    "Uml1Turnierart": "Normalspringen", "Uml1MitStechen": Raw("false"),
    "Uml1mit Stechen": "", "Uml1StilspringenOderSpringpferde": Raw("false"),
    "Uml1Erlaubte Zeit": "76",
    "Uml2Turnierart": "Normalspringen", "Uml2MitStechen": Raw("true"),
    "Uml2mit Stechen": "mit Stechen", "Uml2StilspringenOderSpringpferde": Raw("false"),
    "Uml2Erlaubte Zeit": "45",
}]}
PRUEFUNG = {"Records": [{
    "Nummer": "12", "Titel": "Großer Preis der Stadt Münster", "Klasse": "S** mit Stechen",
    "Sponsor": "Autohaus Müller & Söhne", "Starter": str(len(RIDERS)), "Beginn": "14:30",
}]}
VERANSTALTUNG = {"Records": [{
    "Name": "Zelmo Reitturnier 2024", "Ort": "Münster", "Datum": "15.06.2024",
    "Veranstalter": "Reiterverein Münster e.V.",
}]}


def send(telegram, gap=None):
    global clock
    clock += gap if gap is not None else random.randint(150, 260)
    show.append({"at_ms": clock, "telegram": telegram})


def results(round_results, order, n):
    """The result list: clear rounds first, by faults then time; the rest after them."""
    finished = [(f, float(t), nr) for nr, (f, t) in round_results.items()
                if isinstance(f, int)]
    finished.sort()
    records = []
    for platz, (f, t, nr) in enumerate(finished, 1):
        zeit = round_results[nr][1]
        records.append(rider_record(nr, order.index(nr) + 1, {
            "Platz": str(platz), "Fehler": str(f), "Zeit": zeit,
            "Ergebnis": f"{f} Fehler / {zeit} Sek.", "Geldpreis": PRIZES[platz - 1]
            if platz <= len(PRIZES) else ""}))
    for nr, (f, _) in round_results.items():
        if not isinstance(f, int):
            records.append(rider_record(nr, order.index(nr) + 1, {
                "Platz": "", "Fehler": "", "Zeit": "", "Ergebnis": f.lower(), "Geldpreis": ""}))
    return records


def ride(n, order, nr, outcome, results_so_far, intermediate):
    startplatz = order.index(nr) + 1
    akt = {"Records": [rider_record(nr, startplatz)]}
    base = {"AktUml": umlauf(n)}
    send({"Ereignis": ereignis("ReiterNeu", str(nr)), **base, "AktReiter": akt,
          "Pruefung": PRUEFUNG})
    send({"Ereignis": ereignis("Start", str(nr)), **base, "AktReiter": akt,
          "ZeitLaeuft": {"Zeit": Raw("0.00"), "Fehler": Raw("0"), "Laeuft": Raw("true")}})
    faults, zeit = outcome
    final = float(zeit) if zeit else 40.0 + random.random() * 20
    for k in range(1, intermediate + 1):
        t = final * k / (intermediate + 1)
        f = faults if isinstance(faults, int) and k == intermediate else 0
        send({"Ereignis": ereignis("Zeit", str(nr), f"{t:.2f}"), **base, "AktReiter": akt,
              "ZeitLaeuft": {"Zeit": Raw(f"{t:.2f}"), "Fehler": Raw(str(f)),
                             "Laeuft": Raw("true")}}, gap=250)
    if not isinstance(faults, int):
        send({"Ereignis": ereignis(faults, str(nr)), **base, "AktReiter": akt,
              "ZeitLaeuft": {"Zeit": Raw(f"{final * intermediate / (intermediate + 1):.2f}"),
                             "Fehler": Raw("0"), "Laeuft": Raw("false")}})
    else:
        results_so_far[nr] = outcome
        ranked = results(results_so_far, order, n)
        platz = next(r["Platz"] for r in ranked if r["StartNr"] == str(nr))
        _, vorname, nachname, pferd, land, _, _ = rider(nr)
        send({"Ereignis": ereignis("Ziel", str(nr), zeit, str(faults)), **base,
              "AktReiter": akt,
              "ZeitLaeuft": {"Zeit": Raw(zeit), "Fehler": Raw(str(faults)),
                             "Laeuft": Raw("false")},
              "DurchZiel": {"StartNr": str(nr), "Reiter": vorname + " " + nachname,
                            "Pferd": pferd, "Land": land, "Fehler": str(faults), "Zeit": zeit,
                            "Platz": platz}})
    ranked = results(results_so_far, order, n)
    send({"Ereignis": ereignis("Anzeigen"), **base, "Ergebnisliste": record_list(ranked),
          "ReiterErsterPlatz": {"Records": [{k: ranked[0][k] for k in (
              "Platz", "StartNr", "Reiter", "Pferd", "Land", "Nation", "Fehler", "Zeit")}]}
          if ranked else {"Records": []}})


def startliste(order):
    return record_list([rider_record(nr, i + 1) for i, nr in enumerate(order)])


GLOBAL = {"Titel": "Zelmo Reitturnier 2024", "Untertitel": "Großer Preis der Stadt Münster",
          "Werbung": "Autohaus Müller & Söhne – Ihr Partner im Münsterland", "Uhrzeit": "14:28"}

# The competition is announced.
send({"Ereignis": ereignis("Turnierart", "12"), "AktUml": umlauf(1),
      "Umlaufdaten": UMLAUFDATEN, "Pruefung": PRUEFUNG, "Veranstaltung": VERANSTALTUNG,
      "GlobalBW": GLOBAL}, gap=300)
send({"Ereignis": ereignis("GAEin", "1"), "GlobalBW": GLOBAL})
send({"Ereignis": ereignis("WerbungNeu"), "GlobalBW": GLOBAL})
order1 = [r[0] for r in RIDERS]
send({"Ereignis": ereignis("Neu", "1"), "AktUml": umlauf(1), "Startliste": startliste(order1)})
send({"Ereignis": ereignis("ZeitMessung", "Start"), "AktUml": umlauf(1)})

round1 = {}
for nr in order1:
    ride(1, order1, nr, ROUND1[nr], round1, intermediate=3)
send({"Ereignis": ereignis("ZeitMessung", "Ende"), "AktUml": umlauf(1)})
send({"Ereignis": ereignis("PauseAnzeigeZiel"), "AktUml": umlauf(1)})

# The jump-off: the clear riders of round one, in their starting order.
order2 = [nr for nr in order1 if nr in JUMP_OFF]
send({"Ereignis": ereignis("Turnierart", "12", "2"), "AktUml": umlauf(2),
      "Umlaufdaten": UMLAUFDATEN, "Pruefung": PRUEFUNG, "Veranstaltung": VERANSTALTUNG})
send({"Ereignis": ereignis("Neu", "2"), "AktUml": umlauf(2), "Startliste": startliste(order2)})
send({"Ereignis": ereignis("ZeitMessung", "Start"), "AktUml": umlauf(2)})
round2 = {}
for nr in order2:
    ride(2, order2, nr, JUMP_OFF[nr], round2, intermediate=2)
send({"Ereignis": ereignis("ZeitMessung", "Ende"), "AktUml": umlauf(2)})

# The nations' ranking, then the graphics go off air.
teams = [("Deutschland", "GER", 4, "288.93", [101, 103, 105, 107]),
         ("Niederlande", "NED", 0, "72.08", [106]),
         ("Frankreich", "FRA", 0, "73.41", [109])]
mannschaft = {"Records": []}
for platz, (name, land, fehler, zeit, reiter) in enumerate(
        sorted(teams, key=lambda t: (t[2], float(t[3]))), 1):
    rec = {"StartNr": str(platz), "Platz": str(platz), "Mannschaft": name, "Land": land,
           "Nation": name, "Fehler": str(fehler), "Zeit": zeit}
    for k in range(4):
        rec["Reiter" + str(k + 1)] = (rider(reiter[k])[1] + " " + rider(reiter[k])[2]
                                      if k < len(reiter) else "")
    mannschaft["Records"].append(rec)
for i, rec in enumerate(mannschaft["Records"]):
    mannschaft["Nr" + str(i)] = Raw(rec["StartNr"])
send({"Ereignis": ereignis("AnzeigenMannschaft"), "AktUml": umlauf(2), "Mannschaft": mannschaft})
send({"Ereignis": ereignis("GAAus", "0"), "GlobalBW": GLOBAL}, gap=400)

with open(os.path.join(ROOT, "data", "show.jsonl"), "w", encoding="utf-8", newline="\n") as f:
    for entry in show:
        f.write(dump(entry) + "\n")


# The sample template: one line per column value, in file order. Tabelle and Feld hold one
# table per line ("*" in the file).
def line(ereignis_, turnierart, ua1, ua2, umlauf_, seite, datei, tabellen, felder):
    return [ereignis_, turnierart, ua1, ua2, umlauf_, "", seite, datei, "*".join(tabellen),
            "*".join(felder)]


LINES = [
    line("Turnierart", "Alle", "Alle", "Alle", "Alle", "01", "Pruefung",
         ["Pruefung", "Veranstaltung"], ["Nummer,Titel,Klasse,Sponsor", "Name,Ort,Datum"]),
    line("Neu", "Alle", "Alle", "Alle", "Alle", "02", "Startliste",
         ["Startliste"], ["Startplatz,StartNr,Reiter,Pferd,Land"]),
    line("Reiter Neu", "Alle", "Alle", "Alle", "Alle", "03", "Reiter",
         ["AktReiter", "Pruefung"], ["StartNr,Reiter,Pferd,Land,Nation,Verein", "Titel"]),
    line("Start", "Alle", "Alle", "Alle", "Alle", "04", "Uhr",
         ["ZeitLaeuft", "AktReiter"], ["Zeit,Fehler", "StartNr,Reiter,Pferd"]),
    line("Zeit", "Alle", "Alle", "Alle", "Alle", "04", "Uhr",
         ["ZeitLaeuft", "AktReiter"], ["Zeit,Fehler", "StartNr,Reiter,Pferd"]),
    line("Ziel", "Alle", "Alle", "Alle", "Alle", "05", "Ziel",
         ["DurchZiel"], ["StartNr,Reiter,Pferd,Fehler,Zeit,Platz"]),
    line("Ausgeschieden", "Alle", "Alle", "Alle", "Alle", "06", "Status",
         ["Ereignis", "AktReiter"], ["Status", "StartNr,Reiter,Pferd"]),
    line("Aufgegeben", "Alle", "Alle", "Alle", "Alle", "06", "Status",
         ["Ereignis", "AktReiter"], ["Status", "StartNr,Reiter,Pferd"]),
    # Round one's results; in the jump-off the line below scores higher.
    line("Anzeigen", "Alle", "", "", "1", "07", "Ergebnis",
         ["Ergebnisliste", "ReiterErsterPlatz"],
         ["Platz,Reiter,Pferd,Land,Fehler,Zeit", "Reiter,Pferd"]),
    line("Anzeigen", "Normalspringen", "mit Stechen", "", "2", "08", "Stechen",
         ["Ergebnisliste"], ["Platz,Reiter,Pferd,Fehler,Zeit,Geldpreis"]),
    line("AnzeigenMannschaft", "Alle", "Alle", "Alle", "Alle", "09", "Mannschaft",
         ["Mannschaft"], ["Platz,Mannschaft,Fehler,Zeit,Reiter1,Reiter2"]),
    line("GA Ein", "Alle", "Alle", "Alle", "Alle", "10", "Einblendung",
         ["GlobalBW", "Ereignis"], ["Titel,Untertitel", "Wert1"]),
    line("WerbungNeu", "Alle", "Alle", "Alle", "Alle", "11", "Werbung",
         ["GlobalBW"], ["Werbung"]),
]

columns = ["Ereignis", "Turnierart", "Unterauswahl1", "Unterauswahl2", "Umlauf", "Reserve",
           "Seite", "Dateiname", "Tabelle", "Feld"]
draft = {"Vorlage": {"Zeilen": [dict(zip(columns, l)) for l in LINES]},
         "Ausgabeformat": [{"Type": "OptLiveText", "Trenner": ","}]}

if len(sys.argv) != 2:
    sys.exit("usage: make-sample-data.py BUILD_DIR (for the zelmo tool)")
zelmo = os.path.join(sys.argv[1], "tools", "zelmo")
with tempfile.TemporaryDirectory() as tmp:
    path = os.path.join(tmp, "draft.json")
    with open(path, "w", encoding="ascii") as f:
        json.dump(draft, f)
    subprocess.run([zelmo, "template", "format", path, "-o",
                    os.path.join(ROOT, "data", "LiveText.json")], check=True)

print(f"{len(show)} telegrams, {clock / 1000:.1f} s; LiveText.json with {len(LINES)} lines")
