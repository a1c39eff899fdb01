#pragma once

#include <tnUI/foundation/Export.h>

#include <QColor>
#include <QToolButton>

namespace tnUI {

/// A button showing a colour as a swatch; clicking it opens the colour dialog
/// and announces the colour chosen there. A disabled button still shows its
/// colour, and tells it to a screen reader in its accessible description.
class TNUI_EXPORT ColorButton : public QToolButton {
    Q_OBJECT
public:
    /// A button showing no colour.
    explicit ColorButton(QWidget* parent = nullptr);

    /// The colour shown; invalid while there is none.
    QColor colour() const { return m_colour; }
    /// Shows c (an invalid colour: none); announces nothing.
    void setColour(const QColor& c);
    /// The colour as text: "#rrggbb", "#aarrggbb" when translucent, or
    /// "none".
    QString colourText() const;

    /// The dialog's title; Qt's own when empty.
    void setDialogTitle(const QString& title) { m_title = title; }
    /// Whether the dialog offers the alpha channel; true unless set.
    void setAlphaShown(bool shown) { m_alphaShown = shown; }

    /// Room for the colour swatch.
    QSize sizeHint() const override;
    /// See sizeHint().
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    /// A colour accepted in the dialog that differs from the one shown.
    void colourChosen(const QColor& c);

protected:
    /// Draws the swatch of the colour shown.
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    QColor m_colour;
    QString m_title;
    bool m_alphaShown = true;
};

} // namespace tnUI
