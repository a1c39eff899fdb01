#include "MarkRender.h"

namespace {

tnMarkImageFactory s_imageFactory = nullptr;
tnMarkStyledTextFactory s_styledTextFactory = nullptr;
tnTooltipFactory s_tooltipFactory = nullptr;

} // namespace

tnMarkImage::~tnMarkImage() = default;

tnMarkRender::~tnMarkRender() = default;

tnMarkStyledText::~tnMarkStyledText() = default;

tnTooltip::~tnTooltip() = default;

void tnTooltip::setText(const tnString::IString& text)
{
    m_text = text;
}

void tnTooltip::draw(tnMarkRender& /*render*/, const tnLinear::Range2d& /*itemBox*/)
{}

void setImageFactory(tnMarkImageFactory factory)
{
    s_imageFactory = factory;
}

tnMarkImageFactory getImageFactory()
{
    return s_imageFactory;
}

void setStyledTextFactory(tnMarkStyledTextFactory factory)
{
    s_styledTextFactory = factory;
}

tnMarkStyledTextFactory getStyledTextFactory()
{
    return s_styledTextFactory;
}

void setTooltipFactory(tnTooltipFactory factory)
{
    s_tooltipFactory = factory;
}

tnTooltipFactory getTooltipFactory()
{
    return s_tooltipFactory;
}

tnMarkImage* tnMarkCreateImage(const tnString::IString& fileName)
{
    return s_imageFactory ? s_imageFactory(fileName) : nullptr;
}

tnMarkStyledText* tnMarkCreateStyledText(const tnString::IString& text, const tnMarkFont& font)
{
    return s_styledTextFactory ? s_styledTextFactory(text, font) : nullptr;
}

tnTooltip* tnMarkCreateTooltip(const tnString::IString& text)
{
    return s_tooltipFactory ? s_tooltipFactory(text) : nullptr;
}
