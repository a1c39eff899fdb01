#pragma once

#include "../foundation/Export.h"

// The drawing interfaces of the marking menus. The model lays items out and
// decides what to draw; a toolkit supplies the renderer, the measured text,
// the pictures and the tooltips behind these interfaces, and installs the
// process-wide factories through which the model creates them.

#include "MarkFont.h"

#include "../foundation/IString.h"
#include "../foundation/Linear.h"

class tnMarkTextItem;
class tnMarkOptionBoxItem;

/// A picture of known size.
class TNUI_EXPORT tnMarkImage {
public:
    tnMarkImage() = default;
    tnMarkImage(const tnMarkImage&) = delete;
    tnMarkImage& operator=(const tnMarkImage&) = delete;
    virtual ~tnMarkImage();

    /// The width.
    virtual int getWidth() const = 0;
    /// The height.
    virtual int getHeight() const = 0;
};

/// Draws a menu. Every coordinate is a model point: an offset from the menu
/// centre, y up. The renderer maps it to its own surface.
class TNUI_EXPORT tnMarkRender {
public:
    tnMarkRender() = default;
    tnMarkRender(const tnMarkRender&) = delete;
    tnMarkRender& operator=(const tnMarkRender&) = delete;
    virtual ~tnMarkRender();

    /// The line from the centre towards the pointer or a parent menu.
    virtual void drawPointerLine(float x1, float y1, float x2, float y2) = 0;
    /// The background of a list of items: topLeft is its upper-left corner,
    /// size its width and height; the list extends right and down from there.
    virtual void drawListBackground(const tnLinear::Point2& topLeft, const tnLinear::Vector2& size) = 0;
    /// The centre mark used when no centre image is set.
    virtual void drawDefaultCenter() = 0;
    /// The image centred at (x, y).
    virtual void drawImage(tnMarkImage* image, float x, float y) = 0;
    /// A text item centred at (x, y), with its label, state, check and submenu
    /// marks.
    virtual void drawTextItem(tnMarkTextItem* item, float x, float y) = 0;
    /// An option box centred at (x, y), in the look its drawing state gives.
    virtual void drawOptionBox(tnMarkOptionBoxItem* box, float x, float y) = 0;
    /// Moves the centre by the model offset (dx, dy).
    virtual void translate(float dx, float dy) = 0;
};

/// A text in a font, which knows its size.
class TNUI_EXPORT tnMarkStyledText {
public:
    /// text in font.
    tnMarkStyledText(const tnString::IString& text, const tnMarkFont& font) : m_text(text), m_font(font) {}
    tnMarkStyledText(const tnMarkStyledText&) = delete;
    tnMarkStyledText& operator=(const tnMarkStyledText&) = delete;
    virtual ~tnMarkStyledText();

    /// The size of the text's bounding box.
    virtual void getExtent(float& width, float& height) const = 0;

    /// The text.
    const tnString::IString& getText() const { return m_text; }
    /// Sets the text.
    void setText(const tnString::IString& text) { m_text = text; }
    /// The font.
    const tnMarkFont& getFont() const { return m_font; }

private:
    tnString::IString m_text;
    tnMarkFont m_font;
};

/// The tooltip of a menu item.
class TNUI_EXPORT tnTooltip {
public:
    /// The tooltip showing text.
    explicit tnTooltip(const tnString::IString& text) : m_text(text) {}
    tnTooltip(const tnTooltip&) = delete;
    tnTooltip& operator=(const tnTooltip&) = delete;
    virtual ~tnTooltip();

    /// The size of the tooltip's box as last laid out.
    virtual void getSize(float& width, float& height) const = 0;
    /// Sets the text.
    virtual void setText(const tnString::IString& text);
    /// The text.
    const tnString::IString& getText() const { return m_text; }
    /// Lays the tooltip out beside an item's box (model coordinates) and draws
    /// it. Draws nothing here.
    virtual void draw(tnMarkRender& render, const tnLinear::Range2d& itemBox);
    /// The bounds of the screen that holds the point p.
    virtual void getScreenBounds(const tnLinear::Point2& p, tnLinear::Range2d& bounds) const = 0;

private:
    tnString::IString m_text;
};

/// The process-wide factories. Each makes a new object owned by the caller, or
/// returns null when it cannot (a picture whose file does not load). While no
/// factory of a kind is installed, nothing of that kind is made: pictures do
/// not load, and items have no tooltip or styled text.
using tnMarkImageFactory = tnMarkImage* (*)(const tnString::IString& fileName);
/// Makes a styled text.
using tnMarkStyledTextFactory = tnMarkStyledText* (*)(const tnString::IString& text, const tnMarkFont& font);
/// Makes a tooltip.
using tnTooltipFactory = tnTooltip* (*)(const tnString::IString& text);

/// Sets the image factory.
TNUI_EXPORT void setImageFactory(tnMarkImageFactory factory);
/// The image factory.
TNUI_EXPORT tnMarkImageFactory getImageFactory();
/// Sets the styled text factory.
TNUI_EXPORT void setStyledTextFactory(tnMarkStyledTextFactory factory);
/// The styled text factory.
TNUI_EXPORT tnMarkStyledTextFactory getStyledTextFactory();
/// Sets the tooltip factory.
TNUI_EXPORT void setTooltipFactory(tnTooltipFactory factory);
/// The tooltip factory.
TNUI_EXPORT tnTooltipFactory getTooltipFactory();

/// Make an object through the installed factory; null without one.
TNUI_EXPORT tnMarkImage* tnMarkCreateImage(const tnString::IString& fileName);
/// See tnMarkCreateImage().
TNUI_EXPORT tnMarkStyledText* tnMarkCreateStyledText(const tnString::IString& text, const tnMarkFont& font);
/// See tnMarkCreateImage().
TNUI_EXPORT tnTooltip* tnMarkCreateTooltip(const tnString::IString& text);
