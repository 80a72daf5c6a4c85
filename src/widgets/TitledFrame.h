#pragma once

#include <QFrame>
#include <QString>

class QVBoxLayout;

namespace zelmo::widgets {

// A group box whose caption sits in a gradient header bar across its top. Controls go into
// body(); the header is drawn, not a child widget, so it never takes focus or clicks.
class TitledFrame : public QFrame {
    Q_OBJECT

  public:
    explicit TitledFrame(const QString& title = QString(), QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // The area below the header; give it a layout and put the grouped controls in it.
    QWidget* body() const { return body_; }

    // Height of the header bar in pixels for the current font.
    int headerHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateMargins();

    QString title_;
    QWidget* body_;
    QVBoxLayout* layout_;
};

}  // namespace zelmo::widgets
