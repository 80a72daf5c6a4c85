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
// Qt::UserRole.
class ZeilenListe : public QListView {
    Q_OBJECT

  public:
    explicit ZeilenListe(QWidget* parent = nullptr);
    ~ZeilenListe() override;

    // How a line is shown (the event list shows its field separators as " | ").
    void SetzeAnzeige(std::function<QString(const QString&)> anzeige);

    // Shows `zeilen` (any range of std::string); nothing happens when they are the lines shown.
    template <typename Zeilen>
    void Setzen(const Zeilen& zeilen) {
        const std::vector<std::string>& bisher = ausstehend_ ? *ausstehend_ : zeilen_;
        if (std::equal(zeilen.begin(), zeilen.end(), bisher.begin(), bisher.end()))
            return;
        std::vector<std::string> neu(zeilen.begin(), zeilen.end());
        if (isVisible())
            Uebernehmen(std::move(neu));
        else
            ausstehend_ = std::move(neu);
    }

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    class Modell;

    void Uebernehmen(std::vector<std::string> zeilen);
    // The row size for `texte`: the widest line's width, the font's row height.
    QSize Groesse(const QStringList& texte);

    Modell* modell_;
    std::vector<std::string> zeilen_;
    // Lines given while hidden.
    std::optional<std::vector<std::string>> ausstehend_;
    std::function<QString(const QString&)> anzeige_;
    int hoehe_ = 0;
    QHash<char16_t, int> zeichenBreiten_;
};

}  // namespace zelmo::widgets
