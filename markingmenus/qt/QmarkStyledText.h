#pragma once

#include "../MarkRender.h"

#include <QFont>
#include <QString>

#include <string>

// A label measured and drawn in a QFont made from its tnMarkFont: the family,
// the point size, bold for styles 1 and 3, italic for styles 2 and 3. An
// empty family stands for the application's font, family and size, which is
// read when the text is made and again by readApplicationFont().
class QmarkStyledText : public tnMarkStyledText {
public:
    QmarkStyledText(const tnString::IString& text, const tnMarkFont& font);
    ~QmarkStyledText() override;

    // The size of the text's bounding rectangle in the font. Needs a
    // QGuiApplication (font metrics); without one raises tnUI::ImplError.
    void getExtent(float& width, float& height) const override;

    // The font and the text in Qt's form, kept between calls.
    const QFont& qFont() const;
    const QString& qText() const;
    // Whether the text shows in the application's font.
    bool followsApplicationFont() const { return m_applicationFont; }
    // Takes the application's font as it is now, for a text that follows it;
    // a different font is measured anew.
    void readApplicationFont();

    // The factory the marking menus create styled text through.
    static tnMarkStyledText* create(const tnString::IString& text, const tnMarkFont& font);

private:
    // Brings the cached text and extent up to date with the model's text,
    // which may change through the non-virtual setText.
    void _update() const;

    QFont m_font;
    bool m_applicationFont;
    // The model's text that m_text and the extent were made from.
    mutable std::wstring m_cachedText;
    mutable QString m_text;
    mutable bool m_measured = false;
    mutable float m_width = 0.0f;
    mutable float m_height = 0.0f;
};
