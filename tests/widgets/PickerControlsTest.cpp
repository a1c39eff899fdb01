// The colour, font, button, caption and picture controls as the binding makes
// them, driven by real input (their dialogs included) on the offscreen platform.

#include "entity/EntityTestSupport.h"

#include <tnUI/tnUIWidgets.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QColorDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using namespace tnUI;
using namespace tnUITest;

template <class A>
tn::Reference<A> labelled(A* a, const char* text)
{
    a->setLabel(tn::Reference<Label>(new Label(text)));
    return tn::Reference<A>(a);
}

tn::Reference<ValueArgument> field(Value* v, const char* text)
{
    return labelled(new ValueArgument(v), text);
}

ArgumentWidgetHost hostOf(std::function<void(ButtonArgument*)> pressed, QSize images = QSize(64, 64))
{
    ArgumentWidgetHost host;
    host.buttonPressed = std::move(pressed);
    host.imageSize = images;
    return host;
}

// Runs act on the modal dialog D once the click that opens it is running it;
// the flag says whether it did.
template <class D>
std::shared_ptr<bool> whenOpen(std::function<void(D*)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    timer->callOnTimeout(timer, [act, ran, timer] {
        timer->deleteLater();
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            *ran = true;
            act(dialog);
        }
    });
    timer->setSingleShot(true);
    timer->start(50);
    return ran;
}

// Types text into the colour dialog's "#rrggbb" field, then ends with key.
void typeColour(QColorDialog* dialog, const QString& text, Qt::Key key)
{
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
        if (edit->text().startsWith(QLatin1Char('#'))) {
            edit->selectAll();
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, key);
        }
}

class PickerControlsTest : public EntityTest {
protected:
    void TearDown() override
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EntityTest::TearDown();
    }

    // The controls for the arguments, made by the binding in a shown and
    // active window; the first one.
    QWidget* show(std::initializer_list<Argument*> arguments, const ArgumentWidgetHost& host = {})
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        for (Argument* a : arguments)
            layout->addWidget(ArgumentBinding::createWidget(a, host, window.get()));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return layout->itemAt(0)->widget();
    }

    std::unique_ptr<QWidget> window;
};

TEST_F(PickerControlsTest, ColourButtonWritesTheDialogsChoiceOnceInEitherScale)
{
    for (const ColorValue::Type scale : {ColorValue::Max255, ColorValue::Max1}) {
        SCOPED_TRACE(enumName(scale));
        const double full = scale == ColorValue::Max255 ? 255.0 : 1.0;
        const tn::Reference<ColorValue> colour = ColorValue::create(scale);
        colour->setInternalValue(0.2 * full, 0.4 * full, 0.6 * full, full);
        const auto a = field(colour, "Pen &colour");
        auto* button = show({a})->findChild<ColorButton*>();
        ASSERT_TRUE(button);
        EXPECT_EQ(button->accessibleName(), "Pen colour");
        EXPECT_EQ(button->accessibleDescription(), "#336699");
        MessageRecorder heard(a);

        const auto accepted = whenOpen<QColorDialog>([](QColorDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Pen colour");
            EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
            typeColour(dialog, QStringLiteral("#c82828"), Qt::Key_Return);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(*accepted);
        double channels[4];
        colour->evalBytes(channels);
        EXPECT_EQ(QColor::fromRgbF(channels[0], channels[1], channels[2], channels[3]), QColor(200, 40, 40));
        EXPECT_EQ(heard.chains.size(), 1u);

        const auto cancelled = whenOpen<QColorDialog>(
            [](QColorDialog* dialog) { typeColour(dialog, QStringLiteral("#00ff00"), Qt::Key_Escape); });
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_TRUE(*cancelled);
        EXPECT_EQ(heard.chains.size(), 1u);

        colour->setInternalValue(0.0, full, 0.0, full / 2);
        EXPECT_EQ(button->colour(), QColor::fromRgbF(0, 1, 0, 0.5f));
        EXPECT_EQ(button->accessibleDescription(), QColor::fromRgbF(0, 1, 0, 0.5f).name(QColor::HexArgb));

        const QString described = button->accessibleDescription();
        colour->setEditble(false);
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(button->accessibleDescription(), described);
        const auto opened = whenOpen<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::qWait(100);
        EXPECT_FALSE(*opened);
    }
}

TEST_F(PickerControlsTest, FontButtonOpensTheFontDialogAndAnnouncesItsWriteOnce)
{
    const tn::Reference<FontValue> font = FontValue::create(L"DejaVu Sans", 10.0f);
    const auto a = field(font, "Caption font");
    auto* button = show({a})->findChild<QPushButton*>();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "DejaVu Sans, 10 pt");
    EXPECT_EQ(button->font().family(), "DejaVu Sans");
    MessageRecorder heard(a);

    const auto chosen = whenOpen<QFontDialog>([](QFontDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Caption font");
        dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 14, QFont::Bold));
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(*chosen);
    EXPECT_TRUE(font->getFontName() == L"DejaVu Serif" && font->getFontSize() == 14.0f && font->getBold());
    const Chain written = {{a.get(), Message::Forward}, {font.get(), Message::Value}};
    EXPECT_EQ(heard.chains, Chains{written});
    EXPECT_EQ(button->text(), "DejaVu Serif, 14 pt, bold");

    // The setters announce nothing: the control shows them at update().
    font->setFontSize(9.0f);
    font->setBold(false);
    ArgumentBinding::bindingOf(button->parentWidget())->update();
    EXPECT_EQ(button->text(), "DejaVu Serif, 9 pt");
    font->setEditble(false);
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(PickerControlsTest, FontListSizeAndBoldEachWriteTheirPart)
{
    const tn::Reference<FontValue> font = FontValue::create(L"DejaVu Sans", 10.0f);
    const auto a = field(font, "Caption font");
    a->setArgumentControlHint(EArgumentControlHint::FontComboBox);
    QWidget* control = show({a});
    auto* family = control->findChild<QFontComboBox*>();
    auto* size = control->findChild<QAbstractSpinBox*>();
    auto* bold = control->findChild<QToolButton*>();
    ASSERT_TRUE(family && size && bold);
    EXPECT_TRUE(family->currentFont().family() == "DejaVu Sans" && size->text() == "10.0 pt");
    MessageRecorder heard(font);

    family->lineEdit()->selectAll();
    QTest::keyClicks(family->lineEdit(), QStringLiteral("DejaVu Serif"));
    QTest::keyClick(family->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(font->getFontName(), tnString::IString(L"DejaVu Serif"));
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("12"));
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_EQ(font->getFontSize(), 12.0f);
    QTest::mouseClick(bold, Qt::LeftButton);
    EXPECT_TRUE(font->getBold());
    EXPECT_EQ(heard.chains.size(), 3u);

    font->setFontSize(16.0f);
    ArgumentBinding::bindingOf(control)->update();
    EXPECT_EQ(size->text(), "16.0 pt");
    font->setEditble(false);
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("20"));
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_FALSE(family->isEnabled() || bold->isEnabled());
    EXPECT_EQ(font->getFontSize(), 16.0f);
    EXPECT_EQ(heard.chains.size(), 4u); // the editable flag alone
}

TEST_F(PickerControlsTest, ButtonRunsTheHostOrCountsItsPresses)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("icon.png"));
    QImage(8, 8, QImage::Format_RGB32).save(file);
    const tn::Reference<IntValue> count(new IntValue(0));
    const auto clear = labelled(new ButtonArgument, "C&lear");
    clear->setValue(count);
    clear->setIcon(image(file.toStdWString()), IconState::Normal, IconMode::Default);
    auto* button = show({clear})->findChild<QPushButton*>();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "C&lear");
    EXPECT_FALSE(button->icon().isNull());
    MessageRecorder heard(count);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(count->getValue(), 2);
    EXPECT_EQ(heard.chains.size(), 2u);
    count->setEditble(false);
    EXPECT_FALSE(button->isEnabled());

    std::vector<ButtonArgument*> pressed;
    button = show({clear}, hostOf([&](ButtonArgument* b) { pressed.push_back(b); }))->findChild<QPushButton*>();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(pressed, std::vector<ButtonArgument*>{clear.get()});
    EXPECT_EQ(count->getValue(), 2);
}

TEST_F(PickerControlsTest, DoneButtonCommitsTheTypingThenPresses)
{
    const tn::Reference<RealValue> width(new RealValue(1.0));
    width->setRange(0.0, 100.0);
    const auto done = labelled(new ButtonArgument, "&Done");
    done->setArgumentControlHint(EArgumentControlHint::DoneButton);
    std::vector<double> seen;
    const tn::Reference<Arguments> list(new Arguments);
    list->addArgument(field(width, "Width"));
    list->addArgument(done);
    window = std::make_unique<QWidget>();
    (new QVBoxLayout(window.get()))
        ->addWidget(new ArgumentPaneWidget(tn::Reference<ArgumentPane>(new ArgumentPane(new GroupOfArguments(list))),
                                           hostOf([&](ButtonArgument*) { seen.push_back(width->evalDisplay()); })));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* spin = window->findChild<QAbstractSpinBox*>();
    auto* button = window->findChild<QPushButton*>();
    ASSERT_TRUE(spin && button);
    EXPECT_TRUE(button->isDefault());

    QTest::mouseClick(spin, Qt::LeftButton);
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("7"));
    QTest::mouseClick(button, Qt::LeftButton);
    // Return in the field, which takes no Return of its own, presses Done.
    QTest::mouseClick(spin, Qt::LeftButton);
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("9"));
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(seen, std::vector<double>({7.0, 9.0}));
}

TEST_F(PickerControlsTest, LabelShowsItsValueAsSelectableTextBesideItsCaption)
{
    const tn::Reference<LinearValue> length(new LinearValue(0.25));
    length->setDisplayUnit(LinearUnit::Millimeter);
    const tn::Reference<TextValue> text(new TextValue(tn::Reference<Label>(new Label("ready"))));
    const tn::Reference<ColorValue> colour = ColorValue::FromRgba(0x33, 0x66, 0x99, 255);
    const tn::Reference<Value> values[] = {length, text, tn::Reference<Value>(new IntValue(3)),
                                           tn::Reference<Value>(new BoolValue(true)), colour};
    const char* const shown[] = {"2.5 mm", "ready", "3", "On", "#336699"};
    QLabel* label = nullptr;
    for (size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(shown[i]);
        const auto a = labelled(new LabelArgument, "Status");
        a->setValue(values[i]);
        QWidget* control = show({a});
        label = qobject_cast<QLabel*>(control->focusProxy());
        ASSERT_TRUE(label);
        EXPECT_FALSE(ArgumentBinding::bindingOf(control)->showsOwnLabel());
        EXPECT_EQ(label->text(), shown[i]);
        EXPECT_EQ(label->accessibleName(), "Status");
        label->setFocus();
        QTest::keyClick(label, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(label->selectedText(), shown[i]);
    }
    const auto labels = window->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), // the colour's swatch
                            [](const QLabel* l) { return l->isVisible() && !l->pixmap().isNull(); }));
    colour->setInternalValue(0, 0, 0, 128);
    EXPECT_EQ(label->text(), "#80000000");

    const auto caption = labelled(new LabelArgument, "Note");
    QWidget* control = show({caption});
    EXPECT_TRUE(ArgumentBinding::bindingOf(control)->showsOwnLabel());
    EXPECT_EQ(control->findChild<QLabel*>()->text(), "Note");
    caption->setValue(length);
    ArgumentBinding::bindingOf(control)->update();
    EXPECT_FALSE(ArgumentBinding::bindingOf(control)->stillFits());
}

TEST_F(PickerControlsTest, PictureAsksForItsSizeAndFollowsItsImage)
{
    const tn::Reference<ImageValue> pixels(new ImageValue);
    const auto a = labelled(new ImageArgument(pixels), "Preview");
    auto* picture = qobject_cast<QLabel*>(show({a}, hostOf({}, QSize(40, 30)))->focusProxy());
    ASSERT_TRUE(picture);
    int asked[2] = {};
    a->getRequestedImageSize(asked[0], asked[1]);
    EXPECT_TRUE(asked[0] == 40 && asked[1] == 30);
    EXPECT_TRUE(picture->contentsRect().size() == QSize(40, 30) && picture->text() == "none");
    EXPECT_EQ(picture->accessibleName(), "Preview");

    pixels->setWaiting(true);
    EXPECT_EQ(picture->text(), "waiting\u2026");
    const std::vector<unsigned char> red(std::size_t{40} * 30 * 4, 255);
    pixels->setImageData(40, 30, 4, red.data());
    EXPECT_EQ(picture->pixmap().size(), QSize(40, 30));
    EXPECT_EQ(picture->accessibleDescription(), "Picture, 40 \u00d7 30 pixels");
    a->resizeImage(20, 15);
    EXPECT_EQ(picture->contentsRect().size(), QSize(20, 15));
    EXPECT_EQ(picture->pixmap().size(), QSize(20, 15));

    // A field over an image shows it too, at the host's size.
    picture = qobject_cast<QLabel*>(show({field(pixels, "Pixels")}, hostOf({}, QSize(40, 30)))->focusProxy());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixmap().size(), QSize(40, 30));
}

TEST_F(PickerControlsTest, EitherSideMayGoFirst)
{
    for (const bool modelFirst : {true, false}) {
        const tn::Reference<ColorValue> colour = ColorValue::FromRgba(1, 2, 3, 4);
        const tn::Reference<ImageValue> pixels(new ImageValue);
        const tn::Reference<IntValue> count(new IntValue(0));
        auto press = labelled(new ButtonArgument, "Press");
        press->setValue(count);
        auto label = labelled(new LabelArgument, "Label");
        label->setValue(colour);
        auto font = field(FontValue::create(), "Font");
        auto picture = labelled(new ImageArgument(pixels), "Picture");
        show({field(colour, "Colour"), font, press, label, picture});
        if (modelFirst) {
            // The controls hold what they show: the host's references go first.
            press.reset(), label.reset(), font.reset(), picture.reset();
            QTest::mouseClick(window->findChildren<QPushButton*>().last(), Qt::LeftButton);
            EXPECT_EQ(count->getValue(), 1);
            window.reset();
        } else {
            window.reset();
            colour->setInternalValue(9, 9, 9, 9);
            count->setValue(5);
            pixels->setWaiting(true);
        }
    }
}

} // namespace
