// Paints a displayed radial marking menu and a linear menu with a linear
// submenu open into PNG files, the way the marking-menu view paints them, and
// the radial menu once more at two device pixels to the pixel, in a dark
// palette and in a large application font.
//
//   menu-pictures [directory]      (default: the current directory)
//
// Without a display (no DISPLAY or WAYLAND_DISPLAY) and no QT_QPA_PLATFORM
// given, it paints on Qt's offscreen platform.
#include <tnUI/markingmenus/MarkLinearMenu.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkLinearMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// Room around the menu's extents for the frames, and for a tooltip.
constexpr int Margin = 16;
const QSize TooltipRoom(110, 24);
const QColor LightBackground(222, 226, 232);

tnMarkFont menuFont()
{
    return tnMarkFont(QApplication::font().family().toStdWString(), 0, 10);
}

// Paints menu (and its parents) with its centre placed on a whole pixel so
// that everything fits, then the pointer line and the highlighted item's
// tooltip, as the view's paint does. The view stands for the screen: it takes
// the picture's size, which keeps the tooltip inside. The picture has
// pixelRatio device pixels to the pixel, with the same layout.
QImage paintMenu(tnMarkMenu& menu, QWidget& view, const float* pointer, bool tooltip, int pixelRatio = 1,
                 const QColor& background = LightBackground, QSize tooltipRoom = TooltipRoom)
{
    float right, bottom, left, top;
    menu.getExtents(right, bottom, left, top);
    for (const tnMarkMenu* m = &menu; m->getParentMenu(); m = m->getParentMenu()) {
        float px, py;
        m->getParentOffset(px, py);
        float pr, pb, pl, pt;
        m->getParentMenu()->getExtents(pr, pb, pl, pt);
        right = std::max(right, pr + px);
        bottom = std::min(bottom, pb + py);
        left = std::min(left, pl + px);
        top = std::max(top, pt + py);
    }
    const int width = static_cast<int>(right - left) + 2 * Margin + (tooltip ? tooltipRoom.width() : 0);
    const int height = static_cast<int>(top - bottom) + 2 * Margin + (tooltip ? tooltipRoom.height() : 0);
    QImage image(width * pixelRatio, height * pixelRatio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(background);
    view.resize(width, height);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QmarkRender render(&view);
    render.setCenter(std::ceil(Margin - left), std::ceil(Margin + top));
    render.setPainter(&painter);
    menu.draw(render, true);
    if (pointer)
        render.drawPointerLine(0.0f, 0.0f, pointer[0], pointer[1]);
    if (auto* highlighted = dynamic_cast<tnMarkMenuItem*>(menu.getHighlightedItem()))
        highlighted->showToolTip(render);
    render.setPainter(nullptr);
    return image;
}

// The radial menu with its labels in font, the pointer past the highlighted
// item and room for its tooltip.
QImage radialPicture(QWidget& view, int pixelRatio, const tnMarkFont& font = menuFont(),
                     const QColor& background = LightBackground, QSize tooltipRoom = TooltipRoom)
{
    std::unique_ptr<tnMarkMenu> menu(createMarkMenu());
    std::unique_ptr<tnMarkMenu> submenu(createMarkMenu());
    submenu->addTextItem("Circle", "", 20, tnMarkPosition::North, font, nullptr);

    menu->setAlwaysShowCenter(true);
    menu->setRadius(50.0f);
    menu->addTextItem("Select", "Select objects", 1, tnMarkPosition::North, font, nullptr);
    menu->addTextItem("Move", "Move the selection", 2, tnMarkPosition::Northeast, font, nullptr);
    menu->addOptionBox(12, "Move settings", nullptr);
    menu->addTextItem("Rotate", "Rotate the selection", 3, tnMarkPosition::East, font, nullptr);
    menu->addTextItem("Scale", "Scale the selection", 4, tnMarkPosition::Southeast, font, nullptr);
    menu->addSubmenuTextItem("Create", "Create a shape", submenu.get(), tnMarkPosition::South, font, nullptr);
    menu->addTextItem("Delete", "Delete the selection", 6, tnMarkPosition::Southwest, font, nullptr)
        ->setState(tnMarkItem::Disabled);
    menu->addTextItem("Snap", "Snap to the grid", 7, tnMarkPosition::West, font, nullptr)->setChecked(true);
    menu->addTextItem("Group", "Group the selection", 8, tnMarkPosition::Northwest, font, nullptr);
    menu->addOverflowItem("Duplicate", "Duplicate the selection", 9, font, nullptr);
    menu->addSeparator();
    menu->addOverflowItem("Hide", "Hide the selection", 10, font, nullptr);
    menu->addOverflowItem("Show all", "Show every object", 11, font, nullptr);

    // As a popup does: the radius grows as far as the labels need.
    menu->layOutItems();
    tnMarkMenu::setGesturePhase(false);
    // On the Move item: where it is in the normal font, else its middle.
    float pointer[] = {62.0f, 58.0f};
    tnMarkItem* move = menu->itemAt(1);
    if (menu->hover(pointer[0], pointer[1], false), menu->getHighlightedItem() != move) {
        tnMarkPosition middle;
        move->getReferencePoint(middle);
        pointer[0] = middle.getX();
        pointer[1] = middle.getY();
        menu->hover(pointer[0], pointer[1], false);
    }
    return paintMenu(*menu, view, pointer, true, pixelRatio, background, tooltipRoom);
}

// A dark palette for Fusion, as a host with a dark theme sets it.
QPalette darkPalette()
{
    const QColor window(0x2b, 0x2b, 0x2b);
    const QColor text(0xe0, 0xe0, 0xe0);
    QPalette palette(text, window, window.lighter(150), window.darker(150), window.darker(120), text, QColor(Qt::white),
                     QColor(0x23, 0x23, 0x23), window);
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x7f, 0xd8));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x3c, 0x3f, 0x41));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Shadow, QColor(0x12, 0x12, 0x12));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(0x7a, 0x7a, 0x7a));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    return palette;
}

// The radial menu in the application's dark palette, over dark work.
QImage darkPicture()
{
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    // A view made now, as the marking-menu view is made for each popup.
    QWidget view;
    QImage image = radialPicture(view, 1, menuFont(), QColor(0x1e, 0x1f, 0x22));
    QApplication::setPalette(light);
    return image;
}

// The radial menu in a 16 pt application font, which its labels follow.
QImage largePicture(QWidget& view)
{
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSize(16);
    QApplication::setFont(large);
    QImage image = radialPicture(view, 1, tnMarkFont(), LightBackground, TooltipRoom * 2);
    QApplication::setFont(normal);
    return image;
}

QImage linearPicture(QWidget& view)
{
    const tnMarkFont font = menuFont();
    std::unique_ptr<tnMarkLinearMenu> menu(createLinearMarkMenu());
    std::unique_ptr<tnMarkLinearMenu> submenu(createLinearMarkMenu());
    menu->addItem("New", "", 1, font, nullptr);
    menu->addItem("Open...", "", 2, font, nullptr);
    tnMarkMenuItem* parentItem = menu->addSubmenuItem("Open recent", "", submenu.get(), font, nullptr);
    menu->addItem("Autosave", "", 3, font, nullptr)->setChecked(true);
    menu->addSeparator();
    menu->addItem("Close", "", 4, font, nullptr)->setState(tnMarkItem::Disabled);
    submenu->addItem("drawing.tn", "", 10, font, nullptr);
    submenu->addItem("sketch.tn", "", 11, font, nullptr);
    submenu->addItem("plan.tn", "", 12, font, nullptr);

    // The submenu hangs beside its item, which stays highlighted.
    tnMarkPosition at;
    parentItem->getReferencePoint(at);
    menu->getListWidth();
    menu->hover(at.getX(), at.getY(), false);
    float left, bottom, right, top;
    parentItem->getBox(left, bottom, right, top);
    submenu->setParentMenu(menu.get());
    submenu->setParentOffset(-(right + 2.0f), -top);
    submenu->getListWidth();
    tnMarkPosition subAt;
    submenu->itemAt(1)->getReferencePoint(subAt);
    submenu->hover(subAt.getX(), subAt.getY(), false);
    return paintMenu(*submenu, view, nullptr, false);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "menu-pictures: cannot make %s\n", qPrintable(dir.path()));
        return 1;
    }
    QWidget view;
    const struct {
        const char* file;
        QImage image;
    } pictures[] = {{"marking-menu.png", radialPicture(view, 1)},
                    {"marking-menu@2x.png", radialPicture(view, 2)},
                    {"linear-menu.png", linearPicture(view)},
                    {"marking-menu-dark.png", darkPicture()},
                    {"marking-menu-large.png", largePicture(view)}};
    for (const auto& picture : pictures) {
        const QString path = dir.filePath(QString::fromUtf8(picture.file));
        if (!picture.image.save(path)) {
            std::fprintf(stderr, "menu-pictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
