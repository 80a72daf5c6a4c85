#pragma once

#include <QHash>
#include <QListView>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/RollingLog.h"

namespace zelmo::widgets {

// The height of a row that shows a line of `schrift`, plain or bold, with no glyph cut: some
// fonts draw the dots of Ä Ö Ü above their ascent (DejaVu Sans at 9 pt: 2 px), and item views
// clip a row's text to the row.
int Zeilenhoehe(const QFont& schrift);

// A list of log lines: shows exactly the lines it is given, oldest first, the newest in view.
// All rows are alike and as high as the font needs; a line's width (for the horizontal scroll
// bar) is the sum of its characters' advances, each character measured once, so that the list
// never shapes its lines to measure them. While hidden it only keeps the lines it is given and
// shows them when it is shown. The shown text is in Qt::DisplayRole, the line itself in
// Qt::UserRole, the time it was logged (as the daily log writes it) in Qt::ToolTipRole.
class ZeilenListe : public QListView {
    Q_OBJECT

  public:
    explicit ZeilenListe(QWidget* parent = nullptr);
    ~ZeilenListe() override;

    // How a line is shown (the event list shows its field separators as " | ").
    void SetzeAnzeige(std::function<QString(const QString&)> anzeige);

    // Shows `zeilen` (any range of std::string) with their times (a range of RollingLog::Time,
    // empty or as long); nothing happens when they are what is shown.
    template <typename Zeilen, typename Zeiten = std::vector<RollingLog::Time>>
    void Setzen(const Zeilen& zeilen, const Zeiten& zeiten = {}) {
        const Inhalt& bisher = ausstehend_ ? *ausstehend_ : inhalt_;
        const bool gleicheZeilen =
            std::equal(zeilen.begin(), zeilen.end(), bisher.zeilen.begin(), bisher.zeilen.end());
        if (gleicheZeilen &&
            std::equal(zeiten.begin(), zeiten.end(), bisher.zeiten.begin(), bisher.zeiten.end()))
            return;
        if (gleicheZeilen && !ausstehend_) {
            // Only the times: a tool tip is asked for when it is shown, so nothing is drawn.
            inhalt_.zeiten.assign(zeiten.begin(), zeiten.end());
            return;
        }
        Inhalt neu{{zeilen.begin(), zeilen.end()}, {zeiten.begin(), zeiten.end()}};
        if (isVisible())
            Uebernehmen(std::move(neu));
        else
            ausstehend_ = std::move(neu);
    }
    void Setzen(const RollingLog& log) { Setzen(log.Lines(), log.Times()); }

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    class Modell;
    struct Inhalt {
        std::vector<std::string> zeilen;
        std::vector<RollingLog::Time> zeiten;
    };

    void Uebernehmen(Inhalt inhalt);
    // The row size for `texte`: the widest line's width, the font's row height.
    QSize Groesse(const QStringList& texte);

    Modell* modell_;
    Inhalt inhalt_;
    // What was given while hidden.
    std::optional<Inhalt> ausstehend_;
    std::function<QString(const QString&)> anzeige_;
    int hoehe_ = 0;
    QHash<char16_t, int> zeichenBreiten_;
};

}  // namespace zelmo::widgets
