#include "QmarkStyledText.h"

#include "../../entity/Error.h"

#include <QFontMetrics>
#include <QGuiApplication>

namespace {

// Without a QGuiApplication there is no application font to ask for.
QFont applicationFont()
{
    return qGuiApp ? QGuiApplication::font() : QFont();
}

QFont makeFont(const tnMarkFont& markFont)
{
    QFont font = applicationFont();
    if (!markFont.getFamily().isEmpty()) {
        font = QFont(QString::fromStdWString(markFont.getFamily().str()));
        if (markFont.getSize() > 0)
            font.setPointSize(markFont.getSize());
    }
    const int style = markFont.getStyle();
    if (style == 1 || style == 3)
        font.setWeight(QFont::Bold);
    if (style == 2 || style == 3)
        font.setItalic(true);
    return font;
}

} // namespace

QmarkStyledText::QmarkStyledText(const tnString::IString& text, const tnMarkFont& font)
    : tnMarkStyledText(text, font), m_font(makeFont(font)), m_applicationFont(font.getFamily().isEmpty()),
      m_cachedText(text.str()), m_text(QString::fromStdWString(text.str()))
{}

QmarkStyledText::~QmarkStyledText() = default;

void QmarkStyledText::getExtent(float& width, float& height) const
{
    _update();
    if (!m_measured) {
        if (!qGuiApp)
            throw tnUI::ImplError();
        const QRect bounds = QFontMetrics(m_font).boundingRect(QRect(), Qt::AlignHCenter | Qt::AlignVCenter, m_text);
        m_width = static_cast<float>(bounds.width());
        m_height = static_cast<float>(bounds.height());
        m_measured = true;
    }
    width = m_width;
    height = m_height;
}

const QFont& QmarkStyledText::qFont() const
{
    return m_font;
}

const QString& QmarkStyledText::qText() const
{
    _update();
    return m_text;
}

void QmarkStyledText::readApplicationFont()
{
    if (!m_applicationFont)
        return;
    const QFont font = makeFont(getFont());
    if (font == m_font)
        return;
    m_font = font;
    m_measured = false;
}

tnMarkStyledText* QmarkStyledText::create(const tnString::IString& text, const tnMarkFont& font)
{
    return new QmarkStyledText(text, font);
}

void QmarkStyledText::_update() const
{
    if (getText().str() == m_cachedText)
        return;
    m_cachedText = getText().str();
    m_text = QString::fromStdWString(m_cachedText);
    m_measured = false;
}
