#pragma once

#include "ArgumentBinding.h"

#include <QPointer>

class QPushButton;

namespace tnUI {

class ButtonArgument;

// A push button showing the argument's label, with its mnemonic, and its
// icon; what pressing does is the host's (ArgumentWidgetHost). Return on the
// focused button presses it, as in a dialog.
//
// With the DoneButton hint the button commits its pane: it is the default
// button, pressed by Return anywhere in its pane (or, outside a pane, its
// window) that no other control takes, and pressing it first lets the
// focused editor finish its edit, so the press sees what was typed.
class ButtonControl : public ArgumentBinding {
public:
    static QWidget* create(ButtonArgument* a, const ArgumentWidgetHost& host, QWidget* parent);

    bool showsOwnLabel() const override { return true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void refresh() override;
    void showEnabled(bool enabled) override;

private:
    ButtonControl(ButtonArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    bool isDone() const;
    // Whether a press does something: the host's, or a count it may change.
    bool canPress() const;
    void press();
    void watchScope();

    ButtonArgument* m_argument;
    QPointer<QPushButton> m_button;
    // The icon's file, so that the icon is read again only when it changes.
    QString m_iconPath;
    // Where a done button hears Return: its pane or its window.
    QPointer<QWidget> m_scope;
};

} // namespace tnUI
