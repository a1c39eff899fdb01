// Image values: waiting, pixels arriving after the value, buffer reuse,
// resets and refused shapes; font values' application defaults and assign.

#include "entity/EntityTestSupport.h"

#include <tnUI/application/Application.h>
#include <tnUI/entity/Error.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/TextValue.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <tuple>
#include <vector>

namespace {

using tnUI::ImageValue;
using tnUI::Message;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ImageValueTest : public tnUITest::EntityTest {};

std::tuple<int, int, int> shape(const ImageValue& v)
{
    return {v.getWidth(), v.getHeight(), v.getBytesPerPixel()};
}

TEST_F(ImageValueTest, PixelsArriveAfterWaitingAndAreCopiedOnce)
{
    const tn::Reference<ImageValue> image(new ImageValue(2, 2));
    const Chain state{{image.get(), Message::State}}, value{{image.get(), Message::Value}};
    MessageRecorder recorder(image);
    // The first call announces even an unchanged flag; then only changes.
    image->setWaiting(false);
    image->setWaiting(false);
    image->setWaiting(true);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{state, state}));

    // Listeners of the "Value" message see the new pixels, not yet set.
    std::vector<int> seen;
    tnRTB::SignalClient client;
    tnRTB::connect(image->messageSignal, &client, [&](Message& m) {
        if (m.getType() == Message::Value)
            seen = {image->getImageData()[15], image->waiting(), image->haveSetImage()};
    });
    std::array<unsigned char, 16> pixels{};
    pixels[15] = 16;
    recorder.chains.clear();
    image->setImageData(2, 2, 4, pixels.data());
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{value, state}));
    EXPECT_EQ(seen, (std::vector<int>{16, true, false}));
    client.disconnectAll();
    EXPECT_TRUE(image->haveSetImage() && !image->waiting());
    unsigned char* buffer = image->getImageData();
    EXPECT_NE(buffer, pixels.data());
    pixels[0] = 99;
    EXPECT_EQ(buffer[0], 0);

    // The same byte count keeps the buffer; another one replaces it.
    image->setImageData(4, 1, 4, pixels.data());
    EXPECT_EQ(image->getImageData(), buffer);
    EXPECT_EQ(std::tuple(shape(*image), buffer[0]), std::tuple(std::tuple(4, 1, 4), 99));
    image->setImageData(3, 1, 3, pixels.data());
    EXPECT_EQ(shape(*image), std::tuple(3, 1, 3));
}

TEST_F(ImageValueTest, ResetsAndRefusedShapes)
{
    const std::array<unsigned char, 8> pixels{1, 2, 3, 4, 5, 6, 7, 8};
    const tn::Reference<ImageValue> image(new ImageValue);
    MessageRecorder recorder(image);
    // Without data a reset sends nothing; a reset by setImageData marks set.
    image->reset();
    image->setImageData(0, 5, 1, pixels.data());
    EXPECT_TRUE(recorder.chains.empty() && image->haveSetImage());

    struct Resetting {
        int w, h, bpp;
        const unsigned char* data;
    };
    for (const Resetting& r : {Resetting{2, 2, 2, nullptr}, {0, 2, 2, pixels.data()}, {2, -1, 2, pixels.data()}}) {
        image->setImageData(2, 2, 2, pixels.data());
        recorder.chains.clear();
        image->setImageData(r.w, r.h, r.bpp, r.data);
        EXPECT_EQ(recorder.chains.size(), 1u);
        EXPECT_EQ(std::tuple(image->getImageData(), shape(*image)), std::tuple(nullptr, std::tuple(0, 0, 0)));
    }

    // A host's mistakes are refused before anything changes.
    image->setImageData(2, 1, 4, pixels.data());
    unsigned char* buffer = image->getImageData();
    recorder.chains.clear();
    EXPECT_THROW(image->setImageData(2, 1, -4, pixels.data()), tnUI::ImplError);
    EXPECT_THROW(image->setImageData(INT_MAX, INT_MAX, INT_MAX, pixels.data()), tnUI::IndexError);
    EXPECT_THROW(image->setImageData(INT_MAX, INT_MAX, 4, pixels.data()), tnUI::IndexError);
    EXPECT_EQ(std::tuple(image->getImageData(), shape(*image), buffer[7]), std::tuple(buffer, std::tuple(2, 1, 4), 8));
    EXPECT_TRUE(recorder.chains.empty());
}

TEST_F(ImageValueTest, FontsTakeTheApplicationDefaultsAndAssignNameAndSize)
{
    ASSERT_EQ(tnUI::Application::findInstance(), nullptr);
    const tnString::IString name = tnUI::Application::getFontName();
    const int size = tnUI::Application::getNormalFontSize();
    tnUI::Application::setFontName(L"Serif Test");
    tnUI::Application::setNormalFontSize(17);
    const tn::Reference<tnUI::FontValue> font = tnUI::FontValue::create();
    const tn::Reference<tnUI::FontValue> sized = tnUI::FontValue::create(9.5f);
    const tn::Reference<tnUI::FontValue> named = tnUI::FontValue::create(L"Mono", 8.0f);
    tnUI::Application::setFontName(name);
    tnUI::Application::setNormalFontSize(size);
    EXPECT_TRUE(font->getFontName() == L"Serif Test" && sized->getFontName() == L"Serif Test");
    EXPECT_EQ(std::tuple(font->getFontSize(), sized->getFontSize(), font->getBold()), std::tuple(17.0f, 9.5f, false));

    font->setBold(true);
    named->setEditble(false);
    MessageRecorder recorder(font);
    const tn::Reference<tnUI::TextValue> text(new tnUI::TextValue);
    EXPECT_FALSE(font->assign(text));
    EXPECT_TRUE(font->assign(named));
    font->reset();
    EXPECT_TRUE(font->getFontName() == L"Mono");
    EXPECT_EQ(std::tuple(font->getFontSize(), font->getBold(), font->getEditable()), std::tuple(8.0f, true, false));
    EXPECT_TRUE(recorder.chains.empty());
}

} // namespace
