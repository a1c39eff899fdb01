#include "ArgumentBinding.h"

#include "ColorButton.h"
#include "StepSpinBox.h"

#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <cmath>
#include <limits>

namespace tnUI {

using tnUI::Message;

namespace {

QString text(const tnUI::Label* l)
{
    return l ? QString::fromStdWString(l->asString().str()) : QString();
}

// True when m, or a message that caused it, is of type t and sent by e.
bool chainHas(const Message& m, Message::Type t, const tnUI::Entity* e)
{
    for (const Message* c = &m; c; c = c->causedBy())
        if (c->getType() == t && c->getEntity() == e)
            return true;
    return false;
}

// A row: the caption, then the controls.
QHBoxLayout* row(QWidget* w)
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// A field over a real or integer value, in display units, with the unit as
// suffix; the Slider hint adds a slider over the range in single steps.
class NumberBinding : public ArgumentBinding {
public:
    NumberBinding(tnUI::ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        QHBoxLayout* layout = row(w);
        auto* caption = new QLabel(w);
        setCaption(caption);
        layout->addWidget(caption);
        m_spin = new StepSpinBox(w);
        // The value is written when the typing is done (Return or leaving
        // the field), not at every key.
        m_spin->setKeyboardTracking(false);
        m_spin->setAlignment(Qt::AlignRight);
        layout->addWidget(m_spin);
        QObject::connect(m_spin, &QDoubleSpinBox::valueChanged, this,
                         [this](double v) { writing([this, v] { write(v); }); });
        if (a->getArgumentControlHint() == tnUI::EArgumentControlHint::Slider) {
            m_slider = new QSlider(Qt::Horizontal, w);
            m_slider->setMinimumWidth(100);
            layout->addWidget(m_slider, 1);
            QObject::connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
                writing([this, position] { write(m_min + position * m_spin->singleStep()); });
            });
        }
        refresh();
    }

protected:
    void refresh() override
    {
        const QSignalBlocker spinBlock(m_spin);
        const tnUI::Value* value = m_argument->getValue();
        const auto* real = dynamic_cast<const tnUI::RealValue*>(value);
        const auto* integer = dynamic_cast<const tnUI::IntValue*>(value);
        const bool isReal = m_argument->getDisplayFormat() == tnUI::ValueArgument::Real;
        m_spin->setDecimals(integer ? 0 : isReal ? m_argument->getDisplayPrecision() : 2);
        const tnLinear::Range1d range = real ? real->getRange() : integer ? integer->getRange() : tnLinear::Range1d();
        const double big = 1e12;
        m_min = range.isUnbounded() ? -big : real ? real->toDisplay(range.getMin()) : range.getMin();
        m_max = range.isUnbounded() ? big : real ? real->toDisplay(range.getMax()) : range.getMax();
        m_spin->setRange(m_min, m_max);
        const double step = m_argument->getStep();
        m_spin->setSingleStep(step > 0.0 ? step : std::pow(10.0, -m_spin->decimals()));
        m_spin->setLargeStep(m_argument->getLargeStep());
        QString unit = text(m_argument->getUnitLabel());
        if (const auto* linear = dynamic_cast<const tnUI::LinearValue*>(value); linear && unit.isEmpty())
            unit = QString::fromUtf8(tnUI::enumName(linear->getDisplayUnit(), true));
        m_spin->setSuffix(unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);
        const auto* numeric = dynamic_cast<const tnUI::NumericValue*>(value);
        const bool set = numeric && numeric->isSet() && (real || integer);
        if (set)
            m_spin->setValue(real ? real->evalDisplay() : integer->getValue());
        m_spin->setEnabled(set && value->getEditable());
        if (!m_slider)
            return;
        const QSignalBlocker sliderBlock(m_slider);
        const bool bounded = !range.isUnbounded() && m_spin->singleStep() > 0.0;
        m_slider->setVisible(bounded);
        if (!bounded)
            return;
        m_slider->setRange(0, static_cast<int>(std::lround((m_max - m_min) / m_spin->singleStep())));
        m_slider->setPageStep(std::max(1, static_cast<int>(std::lround(m_spin->largeStep() / m_spin->singleStep()))));
        m_slider->setValue(static_cast<int>(std::lround((m_spin->value() - m_min) / m_spin->singleStep())));
        m_slider->setEnabled(m_spin->isEnabled());
    }

private:
    void write(double display)
    {
        tnUI::Value* value = m_argument->getValue();
        if (auto* real = dynamic_cast<tnUI::RealValue*>(value))
            real->setDisplayValue(display);
        else if (auto* integer = dynamic_cast<tnUI::IntValue*>(value))
            integer->setValue(static_cast<int>(std::lround(display)));
    }

    tnUI::ValueArgument* m_argument;
    QPointer<StepSpinBox> m_spin;
    QPointer<QSlider> m_slider;
    double m_min = 0.0;
    double m_max = 0.0;
};

// A check box over a flag; its text is the argument's label.
class BoolBinding : public ArgumentBinding {
public:
    BoolBinding(tnUI::ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        m_box = new QCheckBox(w);
        QHBoxLayout* layout = row(w);
        layout->addWidget(m_box);
        layout->addStretch(1);
        QObject::connect(m_box, &QCheckBox::toggled, this, [this](bool on) {
            writing([this, on] {
                if (auto* flag = dynamic_cast<tnUI::BoolValue*>(m_argument->getValue()))
                    flag->setValue(on);
            });
        });
        refresh();
    }

protected:
    void refresh() override
    {
        const QSignalBlocker block(m_box);
        m_box->setText(labelText(m_argument));
        const auto* flag = dynamic_cast<const tnUI::BoolValue*>(m_argument->getValue());
        m_box->setChecked(flag && flag->isSet() && flag->getValue());
    }

private:
    tnUI::ValueArgument* m_argument;
    QPointer<QCheckBox> m_box;
};

// A colour button over a colour of either scale.
class ColorBinding : public ArgumentBinding {
public:
    ColorBinding(tnUI::ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        QHBoxLayout* layout = row(w);
        auto* caption = new QLabel(w);
        setCaption(caption);
        layout->addWidget(caption);
        m_button = new ColorButton(w);
        layout->addWidget(m_button);
        layout->addStretch(1);
        QObject::connect(m_button, &ColorButton::colourChosen, this,
                         [this](const QColor& c) { writing([this, c] { write(c); }); });
        refresh();
    }

protected:
    void refresh() override
    {
        const auto* colour = dynamic_cast<const tnUI::ColorValue*>(m_argument->getValue());
        for (int i = 0; colour && i < colour->size(); ++i)
            if (!colour->getValue(i)->isSet())
                return;
        if (!colour)
            return;
        int rgba[4];
        colour->evalBytes(rgba);
        m_button->setColour(QColor(rgba[0], rgba[1], rgba[2], rgba[3]));
    }

private:
    void write(const QColor& c)
    {
        auto* colour = dynamic_cast<tnUI::ColorValue*>(m_argument->getValue());
        if (!colour)
            return;
        if (colour->getType() == tnUI::ColorValue::Max255)
            colour->setInternalValue(c.red(), c.green(), c.blue(), c.alpha());
        else
            colour->setInternalValue(c.redF(), c.greenF(), c.blueF(), c.alphaF());
    }

    tnUI::ValueArgument* m_argument;
    QPointer<ColorButton> m_button;
};

// The base of the enumeration widgets shown as their choices: a row with the
// caption first, built again when the choices change.
class ChoicesBinding : public ArgumentBinding {
protected:
    ChoicesBinding(tnUI::EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host, Qt::Alignment captionAlignment)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        auto* caption = new QLabel(w);
        setCaption(caption);
        row(w)->addWidget(caption, 0, captionAlignment);
    }

    // Shows the argument's current choices; also called by the constructors.
    virtual void buildChoices() = 0;
    // Selects choice i, from the widget.
    void choose(int i)
    {
        if (i >= 0)
            writing([this, i] { m_argument->select(i); });
    }
    QHBoxLayout* layout() const { return static_cast<QHBoxLayout*>(widget()->layout()); }

    void messaged(Message& m) override
    {
        if (chainHas(m, Message::Structure, m_argument))
            buildChoices();
        ArgumentBinding::messaged(m);
    }

    tnUI::EnumArgument* m_argument;
};

// One button per choice: radio buttons for the Radio kinds, adjoining
// toggle buttons for the Segmented kinds; the kinds ending in N lay them out
// in N columns, the others in one row.
class RadioBinding : public ChoicesBinding {
public:
    RadioBinding(tnUI::EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ChoicesBinding(a, w, host, Qt::AlignTop)
    {
        m_buttons = new QButtonGroup(this);
        QObject::connect(m_buttons, &QButtonGroup::idClicked, this, &RadioBinding::choose);
        buildChoices();
        layout()->addStretch(1);
    }

protected:
    void refresh() override
    {
        const int selected = m_argument->getSelectedItem();
        for (QAbstractButton* button : m_buttons->buttons()) {
            const QSignalBlocker block(button);
            button->setChecked(m_buttons->id(button) == selected);
        }
    }

    void buildChoices() override
    {
        delete m_choices;
        m_choices = new QWidget(widget());
        auto* grid = new QGridLayout(m_choices);
        grid->setContentsMargins(0, 0, 0, 0);
        int columns = m_argument->getNumChoices();
        bool segmented = false;
        switch (m_argument->getEnumArgumentKind()) {
        case tnUI::EEnumArgumentKind::Segmented: segmented = true; break;
        case tnUI::EEnumArgumentKind::Segmented1: segmented = true; [[fallthrough]];
        case tnUI::EEnumArgumentKind::Radio1: columns = 1; break;
        case tnUI::EEnumArgumentKind::Segmented2: segmented = true; [[fallthrough]];
        case tnUI::EEnumArgumentKind::Radio2: columns = 2; break;
        case tnUI::EEnumArgumentKind::Segmented3: segmented = true; [[fallthrough]];
        case tnUI::EEnumArgumentKind::Radio3: columns = 3; break;
        default: break;
        }
        columns = std::max(columns, 1);
        if (segmented)
            grid->setSpacing(0);
        for (int i = 0; i < m_argument->getNumChoices(); ++i) {
            const tnUI::ArgumentItem* choice = m_argument->getItem(i);
            QAbstractButton* button = nullptr;
            if (segmented) {
                auto* segment = new QToolButton(m_choices);
                segment->setCheckable(true);
                segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
                segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
                button = segment;
            } else {
                button = new QRadioButton(m_choices);
            }
            button->setText(labelText(choice));
            button->setToolTip(toolTipText(choice));
            m_buttons->addButton(button, i);
            grid->addWidget(button, i / columns, i % columns);
        }
        layout()->insertWidget(1, m_choices);
        refresh();
    }

private:
    QPointer<QButtonGroup> m_buttons;
    QPointer<QWidget> m_choices;
};

// The choices in a drop-down list (Popup) or a list box (ListBox).
class ChoiceListBinding : public ChoicesBinding {
public:
    ChoiceListBinding(tnUI::EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ChoicesBinding(a, w, host, isListBox(a) ? Qt::AlignTop : Qt::Alignment())
    {
        if (isListBox(a)) {
            m_list = new QListWidget(w);
            QObject::connect(m_list, &QListWidget::currentRowChanged, this, &ChoiceListBinding::choose);
            layout()->addWidget(m_list, 1);
        } else {
            m_combo = new QComboBox(w);
            QObject::connect(m_combo, &QComboBox::currentIndexChanged, this, &ChoiceListBinding::choose);
            layout()->addWidget(m_combo);
            layout()->addStretch(1);
        }
        buildChoices();
    }

protected:
    void refresh() override
    {
        const int selected = m_argument->getSelectedItem();
        const QSignalBlocker block(list());
        if (m_combo)
            m_combo->setCurrentIndex(selected);
        else
            m_list->setCurrentRow(selected);
    }

    void buildChoices() override
    {
        {
            const QSignalBlocker block(list());
            if (m_combo)
                m_combo->clear();
            else
                m_list->clear();
            for (int i = 0; i < m_argument->getNumChoices(); ++i) {
                const tnUI::ArgumentItem* choice = m_argument->getItem(i);
                if (m_combo) {
                    m_combo->addItem(labelText(choice));
                    m_combo->setItemData(i, toolTipText(choice), Qt::ToolTipRole);
                } else {
                    auto* item = new QListWidgetItem(labelText(choice), m_list);
                    item->setToolTip(toolTipText(choice));
                }
            }
        }
        refresh();
    }

private:
    static bool isListBox(const tnUI::EnumArgument* a)
    {
        return a->getEnumArgumentKind() == tnUI::EEnumArgumentKind::ListBox;
    }
    QWidget* list() const { return m_combo ? static_cast<QWidget*>(m_combo) : m_list; }

    QComboBox* m_combo = nullptr;
    QListWidget* m_list = nullptr;
};

// True while the choice is the selected one: a checked mark in the menu.
class ChoiceSelected : public tnUI::Condition {
public:
    ChoiceSelected(const tnUI::EnumArgument* a, int i) : m_argument(a), m_index(i) {}
    bool compute() override { return m_argument->getSelectedItem() == m_index; }

private:
    // Held by the binding, which outlives the menu made of these.
    const tnUI::EnumArgument* m_argument;
    int m_index;
};

// A button showing the selected choice that pops a radial marking menu of
// the choices, the selected one checked; the host's key pops it at the
// pointer. Up to four choices sit at North, East, South and West, up to
// eight at every compass point, clockwise; more go to the overflow list.
class MenuBinding : public ArgumentBinding {
public:
    MenuBinding(tnUI::EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        QHBoxLayout* layout = row(w);
        auto* caption = new QLabel(w);
        setCaption(caption);
        layout->addWidget(caption);
        m_button = new QToolButton(w);
        m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        layout->addWidget(m_button);
        layout->addStretch(1);
        QObject::connect(m_button, &QToolButton::clicked, this,
                         [this] { pop(m_button->mapToGlobal(m_button->rect().center())); });
        const QKeySequence key = host.menuKey ? host.menuKey(a) : QKeySequence();
        if (!key.isEmpty()) {
            auto* shortcut = new QShortcut(key, m_button);
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, this, [this] { pop(QCursor::pos()); });
            m_key = key.toString(QKeySequence::NativeText);
        }
        refresh();
    }

    ~MenuBinding() override
    {
        // The menu first: its items refer to the conditions.
        m_menu = nullptr;
    }

protected:
    void messaged(Message& m) override
    {
        if (chainHas(m, Message::Structure, m_argument))
            m_menu = nullptr;
        for (const auto& condition : m_selected)
            condition->update();
        ArgumentBinding::messaged(m);
    }

    void refresh() override
    {
        const int selected = m_argument->getSelectedItem();
        const QString current = selected >= 0 && selected < m_argument->getNumChoices()
                                    ? labelText(m_argument->getItem(selected))
                                    : QStringLiteral("none");
        m_button->setText(m_key.isEmpty() ? current + QStringLiteral(" \u25be")
                                          : QStringLiteral("%1 \u25be  (%2)").arg(current, m_key));
    }

private:
    void build()
    {
        m_selected.clear();
        const tn::Reference<tnUI::CommandGroup> group(new tnUI::CommandGroup);
        group->setLabel(m_argument->getLabel());
        group->setLayoutPreference(tnUI::Group::Radial);
        tn::vector<tn::Reference<tnUI::CommandInstance>> commands;
        const int n = m_argument->getNumChoices();
        for (int i = 0; i < n; ++i) {
            const tn::Reference<tnUI::CommandDefn> defn(
                new tnUI::MomentaryCommandDefn(tnString::CString(QByteArray::number(i).constData())));
            defn->setLabel(m_argument->getItem(i)->getLabel());
            defn->setToolTip(m_argument->getItem(i)->getToolTip());
            commands.emplace_back(new tnUI::CommandInstance(defn));
            m_selected.emplace_back(new ChoiceSelected(m_argument, i));
            m_selected.back()->update();
            commands.back()->setCheckedExpression(m_selected.back());
            group->appendItem(commands.back());
        }
        // Positions once the group is complete: appending may change them.
        for (int i = 0; i < n; ++i)
            commands[i]->setOrderValue(n <= 4 ? 1 + 2 * i : i < 8 ? 1 + i : 0);
        m_commands = commands;
        m_menu = new tnUI::PopUpMenu(group);
    }

    void pop(const QPoint& at)
    {
        if (!widget()->isEnabled())
            return;
        if (!m_menu)
            build();
        // The menu runs its own event loop, in which this binding may go.
        const tn::Reference<tnUI::PopUpMenu> menu(m_menu);
        const QPointer<MenuBinding> self(this);
        const tn::Reference<tnUI::CommandInstance> chosen(menu->show(at.x(), at.y()));
        if (!self || !chosen)
            return;
        for (int i = 0; i < static_cast<int>(m_commands.size()); ++i)
            if (m_commands[i] == chosen)
                writing([this, i] { m_argument->select(i); });
    }

    tnUI::EnumArgument* m_argument;
    QPointer<QToolButton> m_button;
    QString m_key;
    tn::vector<tn::Reference<ChoiceSelected>> m_selected;
    tn::vector<tn::Reference<tnUI::CommandInstance>> m_commands;
    tn::Reference<tnUI::PopUpMenu> m_menu;
};

// A push button; what pressing does is the host's (ArgumentWidgetHost).
class ButtonBinding : public ArgumentBinding {
public:
    ButtonBinding(tnUI::ButtonArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        m_button = new QPushButton(w);
        QHBoxLayout* layout = row(w);
        layout->addWidget(m_button);
        layout->addStretch(1);
        QObject::connect(m_button, &QPushButton::clicked, this, [this] { press(); });
        refresh();
    }

protected:
    void refresh() override { m_button->setText(labelText(m_argument)); }

private:
    void press()
    {
        // The host may let go of the argument.
        const tn::Reference<tnUI::ButtonArgument> hold(m_argument);
        if (host().buttonPressed) {
            host().buttonPressed(hold.get());
            return;
        }
        if (auto* count = dynamic_cast<tnUI::IntValue*>(hold->getValue()))
            writing([count] { count->setValue(count->isSet() ? count->getValue() + 1 : 1); });
    }

    tnUI::ButtonArgument* m_argument;
    QPointer<QPushButton> m_button;
};

// A caption: the argument's label, wrapped. A label argument's alignment
// code reads 0 left, 1 right, anything else centred; its size, when given,
// is the least the caption takes.
class LabelBinding : public ArgumentBinding {
public:
    LabelBinding(tnUI::Argument* a, QWidget* w, const ArgumentWidgetHost& host) : ArgumentBinding(a, w, host)
    {
        m_label = new QLabel(w);
        m_label->setWordWrap(true);
        row(w)->addWidget(m_label);
        if (const auto* caption = dynamic_cast<const tnUI::LabelArgument*>(a)) {
            const int code = caption->getAlignment();
            m_label->setAlignment(code == 0 ? Qt::AlignLeft : code == 1 ? Qt::AlignRight : Qt::AlignHCenter);
            int width = 0;
            int height = 0;
            caption->getSize(width, height);
            m_label->setMinimumSize(std::max(width, 0), std::max(height, 0));
        }
        refresh();
    }

protected:
    void refresh() override { m_label->setText(labelText(argument())); }

private:
    QPointer<QLabel> m_label;
};

// The picture of an image argument's value: RGBA (4 bytes a pixel), RGB (3)
// or grey (1). When the widget first shows, the argument asks its supplier
// for a picture of the host's image size; while the value waits, or has no
// pixels, a grey placeholder says so.
class ImageBinding : public ArgumentBinding {
public:
    ImageBinding(tnUI::ImageArgument* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_argument(a)
    {
        QHBoxLayout* layout = row(w);
        auto* caption = new QLabel(w);
        setCaption(caption);
        layout->addWidget(caption);
        m_picture = new QLabel(w);
        m_picture->setFixedSize(host.imageSize);
        m_picture->setAlignment(Qt::AlignCenter);
        m_picture->setFrameShape(QFrame::StyledPanel);
        layout->addWidget(m_picture);
        layout->addStretch(1);
        w->installEventFilter(this);
        refresh();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget() && event->type() == QEvent::Show && !m_asked) {
            m_asked = true;
            const tn::Reference<tnUI::ImageArgument> hold(m_argument);
            hold->resizeImage(host().imageSize.width(), host().imageSize.height());
        }
        return false;
    }

    void refresh() override
    {
        const tnUI::ImageValue* image = m_argument->getImage();
        const QImage picture = image ? toImage(*image) : QImage();
        if (picture.isNull()) {
            m_picture->setPixmap(QPixmap());
            m_picture->setText(image && image->waiting() ? QStringLiteral("waiting\u2026") : QStringLiteral("none"));
            m_picture->setForegroundRole(QPalette::PlaceholderText);
            return;
        }
        m_picture->setText(QString());
        m_picture->setPixmap(QPixmap::fromImage(picture));
    }

private:
    static QImage toImage(const tnUI::ImageValue& image)
    {
        const unsigned char* data = image.getImageData();
        const int bytes = image.getBytesPerPixel();
        if (!data || image.waiting() || image.getWidth() <= 0 || image.getHeight() <= 0)
            return {};
        const QImage::Format format = bytes == 4   ? QImage::Format_RGBA8888
                                      : bytes == 3 ? QImage::Format_RGB888
                                      : bytes == 1 ? QImage::Format_Grayscale8
                                                   : QImage::Format_Invalid;
        if (format == QImage::Format_Invalid)
            return {};
        // A deep copy: the value's buffer lives only until its next change.
        const qsizetype rowBytes = static_cast<qsizetype>(image.getWidth()) * bytes;
        return QImage(data, image.getWidth(), image.getHeight(), rowBytes, format).copy();
    }

    tnUI::ImageArgument* m_argument;
    QPointer<QLabel> m_picture;
    bool m_asked = false;
};

// A box titled with the group's label, its arguments laid out row by row in
// the group's number of columns; a separator ends a row and draws a line.
// The controls are made again when the list or the kind of one of its
// arguments changes.
class GroupBinding : public ArgumentBinding {
public:
    GroupBinding(tnUI::GroupOfArguments* a, QWidget* w, const ArgumentWidgetHost& host)
        : ArgumentBinding(a, w, host), m_group(a)
    {
        m_box = new QGroupBox(w);
        row(w)->addWidget(m_box);
        new QVBoxLayout(m_box);
        build();
    }

protected:
    void messaged(Message& m) override
    {
        const tnUI::Arguments* list = m_group->getArguments();
        bool rebuild = chainHas(m, Message::Structure, list) || chainHas(m, Message::Appearance, m_group);
        for (int i = 0; !rebuild && i < list->getNumArguments(); ++i)
            rebuild = list->getArgument(i) && chainHas(m, Message::Appearance, list->getArgument(i));
        if (rebuild)
            build();
        ArgumentBinding::messaged(m);
    }

    void refresh() override { m_box->setTitle(labelText(m_group)); }

private:
    void build()
    {
        // The old controls may be running the call that got here: they
        // stop listening now and go once control is back in the event loop.
        if (m_content) {
            for (ArgumentBinding* binding : m_content->findChildren<ArgumentBinding*>())
                binding->detach();
            m_content->hide();
            m_content->deleteLater();
        }
        m_content = new QWidget(m_box);
        m_box->layout()->addWidget(m_content);
        auto* grid = new QGridLayout(m_content);
        grid->setContentsMargins(0, 0, 0, 0);
        const int columns = std::max(m_group->getNumColumns(), 1);
        tnUI::Arguments* list = m_group->getArguments();
        int row = 0;
        int column = 0;
        for (int i = 0; i < list->getNumArguments(); ++i) {
            tnUI::Argument* a = list->getArgument(i);
            if (!a && column > 0) {
                ++row;
                column = 0;
            }
            grid->addWidget(createWidget(a, host(), m_content), row, column, 1, a ? 1 : columns);
            if (!a || ++column == columns) {
                ++row;
                column = 0;
            }
        }
        // At once, not from the event loop as for a widget added to a shown
        // parent, so that the controls are there when this call returns.
        m_content->show();
        refresh();
    }

    tnUI::GroupOfArguments* m_group;
    QPointer<QGroupBox> m_box;
    QPointer<QWidget> m_content;
};

} // namespace

ArgumentBinding::ArgumentBinding(tnUI::Argument* a, QWidget* widget, const ArgumentWidgetHost& host)
    : QObject(widget), m_argument(a), m_widget(widget), m_host(host)
{
    tnRTB::connect(a->messageSignal, &m_client, [this](Message& m) { messaged(m); });
    tnRTB::connect(a->enabledSignal, &m_client, [this](bool enabled) {
        if (m_widget)
            m_widget->setEnabled(enabled);
    });
    widget->setEnabled(a->isEnabled());
    widget->setToolTip(toolTipText(a));
}

ArgumentBinding::~ArgumentBinding() = default;

void ArgumentBinding::detach()
{
    m_client.disconnectAll();
}

void ArgumentBinding::messaged(Message&)
{
    showDecoration();
    if (!m_writing)
        refresh();
}

void ArgumentBinding::writing(const std::function<void()>& write)
{
    // The model's callbacks may drop the last reference to the argument.
    const tn::Reference<tnUI::Argument> hold(m_argument);
    const QPointer<ArgumentBinding> self(this);
    {
        m_writing = true;
        const auto done = qScopeGuard([this, self] {
            if (self)
                m_writing = false;
        });
        write();
    }
    if (self)
        refresh();
}

void ArgumentBinding::showDecoration()
{
    if (m_caption)
        m_caption->setText(labelText(m_argument));
    if (m_widget)
        m_widget->setToolTip(toolTipText(m_argument));
}

QString ArgumentBinding::labelText(const tnUI::Argument* a)
{
    return a ? text(a->getLabel()) : QString();
}

QString ArgumentBinding::toolTipText(const tnUI::Argument* a)
{
    return a ? text(a->getToolTip()) : QString();
}

ArgumentBinding* ArgumentBinding::bindingOf(const QWidget* w)
{
    return w ? w->findChild<ArgumentBinding*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QWidget* ArgumentBinding::createWidget(tnUI::Argument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    if (!a) {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    auto* w = new QWidget(parent);
    ArgumentBinding* binding = nullptr;
    if (auto* group = dynamic_cast<tnUI::GroupOfArguments*>(a)) {
        binding = new GroupBinding(group, w, host);
    } else if (auto* choice = dynamic_cast<tnUI::EnumArgument*>(a)) {
        switch (choice->getEnumArgumentKind()) {
        case tnUI::EEnumArgumentKind::MarkingMenu: binding = new MenuBinding(choice, w, host); break;
        case tnUI::EEnumArgumentKind::Popup:
        case tnUI::EEnumArgumentKind::ListBox: binding = new ChoiceListBinding(choice, w, host); break;
        default: binding = new RadioBinding(choice, w, host); break;
        }
    } else if (auto* button = dynamic_cast<tnUI::ButtonArgument*>(a)) {
        binding = new ButtonBinding(button, w, host);
    } else if (auto* image = dynamic_cast<tnUI::ImageArgument*>(a)) {
        binding = new ImageBinding(image, w, host);
    } else if (auto* field = dynamic_cast<tnUI::ValueArgument*>(a)) {
        const tnUI::Value* value = field->getValue();
        if (dynamic_cast<const tnUI::ColorValue*>(value))
            binding = new ColorBinding(field, w, host);
        else if (dynamic_cast<const tnUI::BoolValue*>(value))
            binding = new BoolBinding(field, w, host);
        else if (dynamic_cast<const tnUI::RealValue*>(value) || dynamic_cast<const tnUI::IntValue*>(value))
            binding = new NumberBinding(field, w, host);
    }
    if (!binding)
        binding = new LabelBinding(a, w, host);
    binding->showDecoration();
    return w;
}

} // namespace tnUI
