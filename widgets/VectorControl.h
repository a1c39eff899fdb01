#pragma once

#include "ArgumentBinding.h"
#include "NumberControl.h"

#include <tnUI/foundation/ReferenceCount.h>

#include <QPointer>

#include <vector>

class QLabel;

namespace tnUI {

class RealValue;
class RealValueArray;
class ValueArgument;

// A vector of real numbers (an array value that is not a colour): a number
// field per component in a row, each captioned X, Y, Z, W (or by the
// component's own name) and showing the component's unit, else the
// argument's. With the RVEC hint a field writes as the user types; otherwise
// when the typing is done. Components the value replaces get new fields.
class VectorControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);
    ~VectorControl() override;

protected:
    void refresh() override;

private:
    struct Component {
        tn::Reference<const RealValue> value;
        NumberField field;
        QPointer<QLabel> caption;
    };

    VectorControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    bool showsComponentsOf(const RealValueArray* array) const;
    void build(const RealValueArray* array);
    void write(size_t i, double display);

    ValueArgument* m_argument;
    // Holds the fields; named as the control, it hands focus to the first.
    QPointer<QWidget> m_row;
    std::vector<Component> m_components;
};

} // namespace tnUI
