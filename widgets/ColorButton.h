#pragma once

#include <tnUI/foundation/Export.h>

#include <QColor>
#include <QToolButton>

namespace tnUI {

// A button showing a colour as a swatch; clicking it opens the colour dialog
// and announces the colour chosen there.
class TNUI_EXPORT ColorButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    // Shows c; announces nothing.
    void setColour(const QColor& c);

    QSize sizeHint() const override;

signals:
    // A colour chosen in the dialog that differs from the one shown.
    void colourChosen(const QColor& c);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    QColor m_colour = Qt::black;
};

} // namespace tnUI
