#pragma once

#include "ArgumentBinding.h"

#include <QPointer>

class QLineEdit;

namespace tnUI {

class ValueArgument;

// A text value: a line edit. The text is written when the typing is done
// (Return, or focus leaving the field); Escape puts the value's text back
// and keeps the focus. A value that is not editable makes it read-only.
class TextControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);

protected:
    void refresh() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TextControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    void commit();
    QString valueText() const;

    ValueArgument* m_argument;
    QPointer<QLineEdit> m_edit;
    // The value's text as last shown: typing is kept until it changes.
    QString m_shown;
};

} // namespace tnUI
