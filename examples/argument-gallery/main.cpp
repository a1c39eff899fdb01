// Every argument kind and hint as the control the Qt binding makes for it,
// on four pages of one pane. `argument-gallery` shows the pane;
// `argument-gallery --picture <file>` draws the four pages, two by two, into
// a PNG file and quits.

#include <tnUI/tnUI.h>
#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTabWidget>

#include <cstdio>

namespace {

using namespace tnUI;

template <class A>
tn::Reference<A> described(A* a, const char* text, const char* tip = nullptr)
{
    a->setLabel(tn::Reference<Label>(new Label(text)));
    if (tip)
        a->setToolTip(tn::Reference<Label>(new Label(tip)));
    return tn::Reference<A>(a);
}

tn::Reference<RealValue> real(double v, double min, double max)
{
    tn::Reference<RealValue> value(new RealValue(v));
    value->setRange(min, max);
    return value;
}

tn::Reference<ValueArgument> field(Value* v, const char* text,
                                   EArgumentControlHint hint = EArgumentControlHint::Default)
{
    auto a = described(new ValueArgument(v), text);
    a->setArgumentControlHint(hint);
    return a;
}

tn::Reference<EnumArgument> choices(const char* text, EEnumArgumentKind kind, std::initializer_list<const char*> names)
{
    auto e = described(new EnumArgument, text);
    e->setEnumArgumentKind(kind);
    for (const char* name : names)
        e->addChoice(described(new ArgumentItem, name));
    e->select(1);
    return e;
}

tn::Reference<GroupOfArguments> group(const char* text, std::initializer_list<Argument*> arguments,
                                      EGroupOfArgumentsKind kind = EGroupOfArgumentsKind::Group,
                                      EGroupOfArgumentsControlHint hint = EGroupOfArgumentsControlHint::AsArguments)
{
    tn::Reference<Arguments> list(new Arguments);
    for (Argument* a : arguments)
        a ? list->addArgument(a) : list->addSeparator();
    auto g = described(new GroupOfArguments(list), text);
    g->setGroupOfArgumentsKind(kind);
    g->setArgumentsControlHint(hint);
    return g;
}

tn::Reference<ColorValue> colour(int r, int g, int b)
{
    tn::Reference<ColorValue> c(new ColorValue(ColorValue::Max255));
    c->setInternalValue(r, g, b, 255);
    return c;
}

tn::Reference<GroupOfArguments> values()
{
    auto width = field(real(3.5, 0, 20), "&Width (Natural)");
    auto count = field(new IntValue(12), "Count (Int)");
    auto ratio = field(real(0.3333, 0, 1), "Ratio (Real 3)");
    ratio->setFormatReal(3);
    auto rounded = field(real(7.6, 0, 10), "Rounded (Int format)");
    rounded->setFormatInt();
    tn::Reference<AngleValue> angle(new AngleValue(0.785398));
    angle->setInternalUnit(AngleUnit::Radian);
    angle->setDisplayUnit(AngleUnit::Degree);
    tn::Reference<LinearValue> length(new LinearValue(25.4));
    length->setDisplayUnit(LinearUnit::Inch);
    tn::Reference<RealValue3> position(new RealValue3(RealValueArray::Linear));
    position->setInternalValue(10, 20, 30);
    tn::Reference<IntValue> flagAsInt(new IntValue(1));
    auto asBool = field(flagAsInt, "Snap (Bool format)");
    asBool->setFormatBool();
    tn::Reference<TextValue> text(new TextValue(tn::Reference<Label>(new Label("Untitled"))));
    return group("&Values",
                 {width, count, ratio, rounded, field(angle, "Angle"), field(length, "Length"),
                  field(real(40, 0, 100), "Opacity (Slider)", EArgumentControlHint::Slider),
                  field(real(65, 0, 100), "Progress (Gauge)", EArgumentControlHint::Gauge), nullptr,
                  field(new BoolValue(true), "Check box"),
                  field(new BoolValue(true), "Switch", EArgumentControlHint::Switch),
                  field(new BoolValue(false), "Push button", EArgumentControlHint::PushButton), asBool, nullptr,
                  field(text, "Title (text)"), field(position, "Position (RVEC)", EArgumentControlHint::RVEC),
                  field(FontValue::create(tnString::IString(L"DejaVu Serif"), 11.0F), "Font"),
                  field(FontValue::create(tnString::IString(L"DejaVu Sans"), 10.0F), "Font (combo box)",
                        EArgumentControlHint::FontComboBox),
                  field(colour(40, 90, 200), "Colour")},
                 EGroupOfArgumentsKind::Page);
}

tn::Reference<GroupOfArguments> choicePage()
{
    using K = EEnumArgumentKind;
    return group("&Choices",
                 {choices("Popup", K::Popup, {"Small", "Medium", "Large"}),
                  choices("List box", K::ListBox, {"Red", "Green", "Blue"}),
                  choices("Segmented", K::Segmented, {"Left", "Centre", "Right"}),
                  choices("Segmented2", K::Segmented2, {"One", "Two", "Three", "Four"}),
                  choices("Radio1", K::Radio1, {"Draft", "Final"}),
                  choices("Radio3", K::Radio3, {"Low", "Mid", "High", "Max"}),
                  choices("Marking menu", K::MarkingMenu, {"North", "East", "South", "West"})},
                 EGroupOfArgumentsKind::Page);
}

tn::Reference<GroupOfArguments> groupPage()
{
    using H = EGroupOfArgumentsControlHint;
    using G = EGroupOfArgumentsKind;
    const auto brush = [](const char* text, H hint) {
        return group(text, {field(colour(200, 60, 40), "Colour"), field(real(8, 1, 20), "Size")}, G::Group, hint);
    };
    auto columns = group("Two columns", {field(real(1, 0, 10), "Top"), field(real(2, 0, 10), "Bottom"),
                                         field(real(3, 0, 10), "Left"), field(real(4, 0, 10), "Right")});
    columns->setNumColumns(2);
    return group(
        "&Groups",
        {columns, group("Collapsible", {field(real(5, 0, 10), "Inside")}, G::Collapsible),
         group("Sliders", {field(real(20, 0, 100), "Red"), field(real(70, 0, 100), "Green")}, G::Group, H::Sliders),
         brush("Colour well", H::ColorWell), brush("Brush well", H::BrushWell),
         brush("Colour control", H::ColorControl), brush("Brush control", H::BrushControl)},
        G::Page);
}

tn::Reference<GroupOfArguments> otherPage()
{
    tn::Reference<ImageValue> image(new ImageValue);
    unsigned char pixels[48 * 32 * 3];
    for (int i = 0; i < 48 * 32; ++i) {
        pixels[3 * i] = static_cast<unsigned char>(i % 48 * 5);
        pixels[3 * i + 1] = static_cast<unsigned char>(i / 48 * 8);
        pixels[3 * i + 2] = 160;
    }
    image->setImageData(48, 32, 3, pixels);
    auto picture = described(new ImageArgument(image), "Picture");
    picture->resizeImage(48, 32);
    auto shown = described(new LabelArgument, "Label with a value");
    shown->setValue(real(2.5, 0, 10));
    shown->setAlignment(0);
    auto note = described(new LabelArgument, "A label argument alone: a caption across the pane.");
    note->setAlignment(0);
    auto done = described(new ButtonArgument, "&Done");
    done->setArgumentControlHint(EArgumentControlHint::DoneButton);
    return group("&Others", {described(new ButtonArgument, "&Button"), done, shown, note, picture},
                 EGroupOfArgumentsKind::Page);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool picture = argc == 3 && QByteArray(argv[1]) == "--picture";
    auto all = group("Gallery", {values(), choicePage(), groupPage(), otherPage()});
    tn::Reference<ArgumentPane> pane(new WidgetArgumentPane(all));
    std::unique_ptr<QWidget> window(pane->realizePane());
    window->setWindowTitle(QStringLiteral("Argument controls"));
    window->resize(460, 640);
    window->show();
    if (!picture)
        return QApplication::exec();
    // The pages two by two, each as the pane shows it.
    auto* tabs = window->findChild<QTabWidget*>();
    if (!tabs)
        return 1;
    QList<QImage> pages;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        pages.append(window->grab().toImage());
    }
    const QSize page = pages[0].size();
    QImage sheet(page.width() * 2, page.height() * static_cast<int>((pages.size() + 1) / 2), QImage::Format_RGB32);
    sheet.fill(window->palette().color(QPalette::Window));
    QPainter p(&sheet);
    for (int i = 0; i < pages.size(); ++i)
        p.drawImage(i % 2 * page.width(), i / 2 * page.height(), pages[i]);
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "argument-gallery: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
