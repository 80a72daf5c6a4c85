#pragma once

#include <QListView>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace zelmo::widgets {

// The height of a row that shows a line of `schrift`, plain or bold, with no glyph cut: some
// fonts draw the dots of Ä Ö Ü above their ascent (DejaVu Sans at 9 pt: 2 px), and item views
// clip a row's text to the row.
int Zeilenhoehe(const QFont& schrift);

// A list of log lines: shows exactly the lines it is given, oldest first, the newest in view.
// All rows are alike and as high as the font needs; a line's width is measured once, when it
// comes, so that a long line gets a horizontal scroll bar without the list measuring all its
// lines on every change. The shown text is in Qt::DisplayRole, the line itself in
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
        if (std::equal(zeilen.begin(), zeilen.end(), zeilen_.begin(), zeilen_.end()))
            return;
        Uebernehmen(std::vector<std::string>(zeilen.begin(), zeilen.end()));
    }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    class Modell;

    void Uebernehmen(std::vector<std::string> zeilen);
    void Messen(const QStringList& texte, bool alleNeu);

    Modell* modell_;
    std::vector<std::string> zeilen_;
    std::function<QString(const QString&)> anzeige_;
    int hoehe_ = 0;
};

}  // namespace zelmo::widgets
