#pragma once

#include <QList>
#include <QTableView>
#include <vector>

namespace zelmo::widgets {

// A table grid as the program's windows use it: column widths given in twips, columns whose
// cells show several lines (rows grow to show them all), one current cell that is kept in
// view, and Enter or Ctrl+A as the request to edit the current line.
class Gitter : public QTableView {
    Q_OBJECT

  public:
    explicit Gitter(QWidget* parent = nullptr);

    // Widths in twips (1/1440 inch) converted with the widget's logical DPI; call after the
    // model is set.
    void SetzeSpaltenbreitenTwips(const QList<int>& twips);
    static int TwipsZuPixel(int twips, int dpi) { return twips * dpi / 1440; }

    // The column's cells show and edit several lines.
    void SetzeMehrzeilig(int spalte);

    // Columns fit their content within the view, headings included; the widest give way first
    // when space is short. They are measured when the view's size changes and when a column's
    // text has grown longer than it was at the last fit, not on every change of the model.
    // Once the operator has resized a column by hand, his widths stay.
    void SetzeInhaltEinpassen(bool an);

    // Every row one line high, as high as the font needs: rows are not measured.
    void SetzeEinzeilig();

    // -1 when there is no current cell.
    int AktuelleZeile() const;
    int AktuelleSpalte() const;
    void SetzeAktuelleZelle(int zeile, int spalte);

  signals:
    // Enter or Ctrl+A while no cell is being edited.
    void BearbeitenAngefordert();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void Einpassen();
    // Fits again when a column's longest text has more characters than at the last fit.
    void InhaltGeaendert();
    std::vector<qsizetype> Textlaengen() const;

    bool einpassen_ = false;
    bool einzeilig_ = false;
    std::vector<qsizetype> eingepasst_;
    bool vonHand_ = false;
    bool passeEin_ = false;
};

}  // namespace zelmo::widgets
