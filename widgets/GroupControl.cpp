#include "GroupControl.h"

#include "ArgumentLayout.h"

#include <tnUI/arguments/ArgumentItem.h>
#include <tnUI/arguments/Arguments.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/entity/Message.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/IntValue.h>

#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tnUI {

namespace {

using Hint = EGroupOfArgumentsControlHint;

// What a colour or brush preview shows: the first colour among the group's
// values and the first other number, as a share of its range when it has
// one.
struct Look {
    QColor colour = Qt::transparent;
    double size = -1.0; // 0 to 1 of the range; above 1 a size in pixels
    bool operator==(const Look&) const = default;
};

bool isBrush(Hint h)
{
    return h == Hint::BrushWell || h == Hint::BrushControl;
}

bool isWell(Hint h)
{
    return h == Hint::ColorWell || h == Hint::BrushWell;
}

void findLook(const Arguments* list, Look& look, bool& colourFound)
{
    for (int i = 0; i < list->getNumArguments(); ++i) {
        const Argument* a = list->getArgument(i);
        if (const auto* group = dynamic_cast<const GroupOfArguments*>(a)) {
            findLook(group->getArguments(), look, colourFound);
            continue;
        }
        const auto* item = dynamic_cast<const ArgumentItem*>(a);
        const Value* value = item ? item->getValue() : nullptr;
        if (const auto* colour = dynamic_cast<const ColorValue*>(value); colour && !colourFound) {
            bool set = true;
            for (int c = 0; c < colour->size(); ++c)
                set = set && colour->getValue(c)->isSet();
            if (set) {
                int rgba[4];
                colour->evalBytes(rgba);
                look.colour = QColor(rgba[0], rgba[1], rgba[2], rgba[3]);
                colourFound = true;
            }
        } else if (look.size < 0.0) {
            const auto* real = dynamic_cast<const RealValue*>(value);
            const auto* integer = dynamic_cast<const IntValue*>(value);
            const auto* numeric = dynamic_cast<const NumericValue*>(value);
            if ((!real && !integer) || !numeric->isSet())
                continue;
            const tnLinear::Range1d range = real ? real->getRange() : integer->getRange();
            const double v = real ? real->evalInternal() : integer->getValue();
            look.size = range.isUnbounded() || range.getMax() <= range.getMin()
                            ? std::max(v, 1.0) + 1.0
                            : std::clamp((v - range.getMin()) / (range.getMax() - range.getMin()), 0.0, 1.0);
        }
    }
}

Look lookOf(const GroupOfArguments* g)
{
    Look look;
    bool colourFound = false;
    findLook(g->getArguments(), look, colourFound);
    return look;
}

// Paints a colour swatch, or a brush dab, into r with the palette's roles,
// so that it shows on a light and a dark theme alike.
void paintLook(QPainter& p, const QRect& r, const Look& look, bool brush, const QPalette& palette)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(r, palette.color(QPalette::Base));
    if (!brush) {
        // A checkerboard shows through a translucent colour.
        const int cell = std::max(4, r.height() / 4);
        for (int y = r.top(); y <= r.bottom(); y += cell)
            for (int x = r.left(); x <= r.right(); x += cell)
                if (((x - r.left()) / cell + (y - r.top()) / cell) % 2)
                    p.fillRect(QRect(x, y, cell, cell).intersected(r), palette.color(QPalette::Midlight));
        p.fillRect(r, look.colour);
    } else {
        const double room = std::min(r.width(), r.height()) - 4.0;
        const double diameter = look.size < 0.0   ? room / 2
                                : look.size > 1.0 ? std::min(look.size - 1.0, room)
                                                  : 3.0 + look.size * (room - 3.0);
        p.setPen(QPen(palette.color(QPalette::Text), 1.0));
        p.setBrush(look.colour);
        p.drawEllipse(QRectF(r).center(), diameter / 2, diameter / 2);
    }
    p.setPen(palette.color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
}

QString describe(const Look& look, bool brush)
{
    const QString colour = look.colour.name(look.colour.alpha() < 255 ? QColor::HexArgb : QColor::HexRgb);
    return brush ? QStringLiteral("brush in %1").arg(colour) : colour;
}

} // namespace

// The preview above the arguments of a ColorControl or BrushControl group.
class GroupPreview : public QWidget {
public:
    GroupPreview(bool brush, QWidget* parent) : QWidget(parent), m_brush(brush)
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void show(const Look& look)
    {
        if (look == m_look)
            return;
        m_look = look;
        setAccessibleDescription(describe(look, m_brush));
        update();
    }

    QSize sizeHint() const override
    {
        const int h = fontMetrics().height();
        return {6 * h, 2 * h};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        paintLook(p, rect(), m_look, m_brush, palette());
    }

private:
    bool m_brush;
    Look m_look;
};

QWidget* GroupControl::create(GroupOfArguments* g, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new GroupControl(g, w, host, false);
    return w;
}

QWidget* GroupControl::createFlat(GroupOfArguments* g, const ArgumentWidgetHost& host, QWidget* parent)
{
    const Hint hint = g->getArgumentsControlHint();
    const bool flat = g->getGroupOfArgumentsKind() == EGroupOfArgumentsKind::Group &&
                      (hint == Hint::AsArguments || hint == Hint::Sliders);
    auto* w = new QWidget(parent);
    new GroupControl(g, w, host, flat);
    return w;
}

GroupControl::GroupControl(GroupOfArguments* g, QWidget* w, const ArgumentWidgetHost& host, bool flat)
    : ArgumentBinding(g, w, host), m_group(g)
{
    const Hint hint = g->getArgumentsControlHint();
    auto* outer = new QVBoxLayout(w);
    outer->setContentsMargins(0, 0, 0, 0);
    // The frame by kind.
    QWidget* frame = w;
    switch (flat ? EGroupOfArgumentsKind::Page : g->getGroupOfArgumentsKind()) {
    case EGroupOfArgumentsKind::Page:
        m_page = !flat;
        if (m_page) {
            // Inside its tab's frame, as a dialog's page is.
            const int margin = w->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
            outer->setContentsMargins(margin, margin, margin, margin);
        }
        break;
    case EGroupOfArgumentsKind::Collapsible:
        m_header = new QToolButton(w);
        m_header->setCheckable(true);
        m_header->setChecked(true);
        m_header->setAutoRaise(true);
        m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        outer->addWidget(m_header);
        w->setFocusProxy(m_header);
        connect(m_header, &QToolButton::toggled, this, &GroupControl::fold);
        break;
    case EGroupOfArgumentsKind::Group:
        if (isWell(hint)) {
            m_wellOnly = true;
            break;
        }
        m_box = new QGroupBox(w);
        outer->addWidget(m_box);
        frame = m_box;
        new QVBoxLayout(m_box);
        break;
    }
    // What is inside, by hint.
    QWidget* holder = frame;
    if (isWell(hint)) {
        m_well = new QToolButton(frame);
        m_well->setToolButtonStyle(Qt::ToolButtonIconOnly);
        frame->layout()->addWidget(m_well);
        if (m_wellOnly)
            outer->addStretch(1);
        if (!w->focusProxy())
            w->setFocusProxy(m_well);
        connect(m_well, &QToolButton::clicked, this, &GroupControl::popUp);
        m_popup = new QFrame(w, Qt::Popup);
        m_popup->setFrameShape(QFrame::StyledPanel);
        new QVBoxLayout(m_popup);
        holder = m_popup;
    } else if (hint != Hint::AsArguments && hint != Hint::Sliders) {
        m_preview = new GroupPreview(isBrush(hint), frame);
        frame->layout()->addWidget(m_preview);
    }
    m_content = new QWidget(holder);
    holder->layout()->addWidget(m_content);
    // The number controls inside show sliders.
    m_content->setProperty("tnuiSliders", hint != Hint::AsArguments);
    if (m_page)
        outer->addStretch(1);
    m_layout = new ArgumentLayout(g->getArguments(), this->host(), m_content);
    m_layout->sync(g->getNumColumns());
    update();
}

GroupControl::~GroupControl() = default;

void GroupControl::messaged(Message& m)
{
    // Every message inside the group reaches it; only a change of the list
    // itself makes or drops controls.
    if (causedBy(m, Message::Structure, m_group->getArguments()))
        m_layout->sync(m_group->getNumColumns());
    ArgumentBinding::messaged(m);
}

void GroupControl::refresh()
{
    // The column count changes without a message: it is read again here.
    if (std::max(m_group->getNumColumns(), 1) != m_layout->columns())
        m_layout->sync(m_group->getNumColumns());
    const QString title = labelText(m_group);
    if (m_box)
        m_box->setTitle(title);
    if (m_header) {
        m_header->setText(title);
        m_header->setArrowType(m_header->isChecked() ? Qt::DownArrow : Qt::RightArrow);
    }
    // A page's tab: the page sits in the tab widget's stack.
    QWidget* stack = widget()->parentWidget();
    if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr) {
        const int index = tabs->indexOf(widget());
        tabs->setTabText(index, title);
        tabs->setTabToolTip(index, toolTipText(m_group));
    }
    const bool brush = isBrush(m_group->getArgumentsControlHint());
    if (m_preview)
        m_preview->show(lookOf(m_group));
    if (m_well) {
        const Look look = lookOf(m_group);
        const int h = m_well->fontMetrics().height();
        const QSize size = brush ? QSize(2 * h, 2 * h) : QSize(3 * h, h + h / 2);
        const qreal ratio = m_well->devicePixelRatioF();
        QPixmap picture(size * ratio);
        picture.setDevicePixelRatio(ratio);
        QPainter p(&picture);
        paintLook(p, QRect(QPoint(), size), look, brush, m_well->palette());
        p.end();
        m_well->setIconSize(size);
        m_well->setIcon(QIcon(picture));
    }
}

QString GroupControl::accessibleDescription() const
{
    QString tip = ArgumentBinding::accessibleDescription();
    if (!m_well)
        return tip;
    const QString look = describe(lookOf(m_group), isBrush(m_group->getArgumentsControlHint()));
    return tip.isEmpty() ? look : tip + QStringLiteral("; ") + look;
}

void GroupControl::fold(bool open)
{
    m_content->setVisible(open);
    m_header->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
}

void GroupControl::popUp()
{
    m_popup->adjustSize();
    m_popup->move(m_well->mapToGlobal(QPoint(0, m_well->height())));
    m_popup->show();
    // The keyboard goes on in the arguments popped up.
    for (QWidget* child : m_content->findChildren<QWidget*>())
        if (child->isVisibleTo(m_popup) && (child->focusPolicy() & Qt::TabFocus) && child->isEnabled()) {
            child->setFocus(Qt::PopupFocusReason);
            break;
        }
}

} // namespace tnUI
