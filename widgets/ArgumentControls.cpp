#include "ArgumentControls.h"

#include "ArgumentBinding.h"
#include "ButtonControl.h"
#include "ChoiceControl.h"
#include "ColorControl.h"
#include "FontControl.h"
#include "GroupControl.h"
#include "ImageControl.h"
#include "LabelControl.h"
#include "NumberControl.h"
#include "TextControl.h"
#include "ToggleControl.h"
#include "VectorControl.h"

#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/RealValueArray.h>
#include <tnUI/values/TextValue.h>

namespace tnUI {

namespace {

// The caption controls differ with and without a value to show.
int showsValue(const Argument* a)
{
    const auto* item = dynamic_cast<const ArgumentItem*>(a);
    return item && item->getValue() ? 1 : 0;
}

ControlSignature valueSignature(const ValueArgument* a)
{
    using Hint = EArgumentControlHint;
    const Hint hint = a->getArgumentControlHint();
    const Value* value = a->getValue();
    const auto* integer = dynamic_cast<const IntValue*>(value);
    const bool flag =
        dynamic_cast<const BoolValue*>(value) || (integer && a->getDisplayFormat() == ValueArgument::Bool);
    if (flag)
        return {hint == Hint::Switch       ? ControlKind::Switch
                : hint == Hint::PushButton ? ControlKind::ToggleButton
                                           : ControlKind::CheckBox,
                integer ? 1 : 0};
    if (dynamic_cast<const ColorValue*>(value))
        return {ControlKind::Color};
    if (dynamic_cast<const RealValueArray*>(value))
        return {ControlKind::Vector, hint == Hint::RVECNoTracking ? 1 : 0};
    if (dynamic_cast<const FontValue*>(value))
        return {ControlKind::Font, hint == Hint::FontComboBox ? 1 : 0};
    if (dynamic_cast<const TextValue*>(value))
        return {ControlKind::Text};
    if (integer || dynamic_cast<const RealValue*>(value))
        return {ControlKind::Number, hint == Hint::Slider ? 1 : hint == Hint::Gauge ? 2 : 0};
    if (dynamic_cast<const ImageValue*>(value))
        return {ControlKind::Image};
    return {ControlKind::Caption, showsValue(a)};
}

} // namespace

ControlSignature builtInSignature(const Argument* a)
{
    if (const auto* group = dynamic_cast<const GroupOfArguments*>(a))
        return {ControlKind::Group, static_cast<int>(group->getGroupOfArgumentsKind()) * 16 +
                                        static_cast<int>(group->getArgumentsControlHint())};
    if (const auto* choice = dynamic_cast<const EnumArgument*>(a))
        return {ControlKind::Choices, static_cast<int>(choice->getEnumArgumentKind())};
    if (dynamic_cast<const ButtonArgument*>(a))
        return {a->getArgumentControlHint() == EArgumentControlHint::DoneButton ? ControlKind::DoneButton
                                                                                : ControlKind::Button};
    if (dynamic_cast<const ImageArgument*>(a))
        return {ControlKind::Image};
    if (dynamic_cast<const LabelArgument*>(a))
        return {ControlKind::Label, showsValue(a)};
    if (const auto* field = dynamic_cast<const ValueArgument*>(a))
        return valueSignature(field);
    return {ControlKind::Caption, showsValue(a)};
}

QWidget* ArgumentBinding::createBuiltInWidget(Argument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    if (!a)
        return LabelControl::createSeparator(parent);
    const ControlSignature signature = builtInSignature(a);
    QWidget* w = nullptr;
    switch (signature.kind) {
    case ControlKind::Caption:
    case ControlKind::Label: w = LabelControl::create(a, host, parent); break;
    case ControlKind::Button:
    case ControlKind::DoneButton: w = ButtonControl::create(static_cast<ButtonArgument*>(a), host, parent); break;
    case ControlKind::Image: w = ImageControl::create(static_cast<ArgumentItem*>(a), host, parent); break;
    case ControlKind::Group: w = GroupControl::create(static_cast<GroupOfArguments*>(a), host, parent); break;
    case ControlKind::Choices: w = ChoiceControl::create(static_cast<EnumArgument*>(a), host, parent); break;
    case ControlKind::CheckBox:
    case ControlKind::Switch:
    case ControlKind::ToggleButton: w = ToggleControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    case ControlKind::Text: w = TextControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    case ControlKind::Vector: w = VectorControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    case ControlKind::Color: w = ColorControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    case ControlKind::Font: w = FontControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    case ControlKind::Number: w = NumberControl::create(static_cast<ValueArgument*>(a), host, parent); break;
    }
    if (ArgumentBinding* binding = bindingOf(w)) {
        binding->m_builtIn = true;
        binding->m_kind = static_cast<int>(signature.kind);
        binding->m_variant = signature.variant;
    }
    return w;
}

bool ArgumentBinding::stillFits() const
{
    if (!m_builtIn)
        return true;
    const ControlSignature now = builtInSignature(m_argument.get());
    return static_cast<int>(now.kind) == m_kind && now.variant == m_variant;
}

} // namespace tnUI
