#pragma once

#include "ArgumentBinding.h"

#include <QPointer>

class QFrame;
class QGroupBox;
class QToolButton;

namespace tnUI {

class ArgumentLayout;
class GroupOfArguments;
class GroupPreview;

// The control of a group of arguments.
//
// Its kind decides the frame: a box titled with the group's label (Group), a
// page of the tab widget its list shares with the pages beside it (Page), or
// a section whose header folds it (Collapsible).
//
// Its hint decides what is inside: the group's arguments laid out as a form
// in its number of columns (AsArguments); the same with a slider beside
// every bounded number (Sliders); a preview of the colour, or of the brush
// (a dab of the first size in the first colour), above the arguments with
// sliders (ColorControl, BrushControl); or a well showing that preview, a
// button that pops the arguments up (ColorWell, BrushWell). A well in a
// plain group is the whole control, with the group's label as its caption.
//
// A change of the list makes or drops only the controls concerned.
class GroupControl : public ArgumentBinding {
public:
    static QWidget* create(GroupOfArguments* g, const ArgumentWidgetHost& host, QWidget* parent);
    // The group's arguments without a frame of their own, for a pane that
    // shows one group; a group of another kind or hint gets its frame.
    static QWidget* createFlat(GroupOfArguments* g, const ArgumentWidgetHost& host, QWidget* parent);
    ~GroupControl() override;

    bool showsOwnLabel() const override { return !m_wellOnly; }
    bool spansRow() const override { return !m_wellOnly; }
    bool isPage() const { return m_page; }
    // The text of a page's tab: the group's label with its mnemonic.
    QString tabText() const { return labelText(argument()); }

protected:
    void messaged(Message& m) override;
    void refresh() override;
    QString accessibleDescription() const override;

private:
    GroupControl(GroupOfArguments* g, QWidget* w, const ArgumentWidgetHost& host, bool flat);
    void fold(bool open);
    void popUp();

    GroupOfArguments* m_group;
    bool m_page = false;
    bool m_wellOnly = false;
    QPointer<QGroupBox> m_box;
    QPointer<QToolButton> m_header;
    QPointer<QToolButton> m_well;
    QPointer<QFrame> m_popup;
    QPointer<GroupPreview> m_preview;
    QPointer<QWidget> m_content;
    // Owned by the content widget.
    ArgumentLayout* m_layout = nullptr;
};

} // namespace tnUI
