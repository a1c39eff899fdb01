#pragma once

#include "../foundation/Export.h"

#include "Window.h"

namespace tnUI {

/// A window without widget or document, for a host's trial set-ups.
class TNUI_EXPORT TestWindow : public Window {
public:
    TestWindow() = default;

    DocumentWindow* getDocumentWindow() override;
    /// The document window.
    const DocumentWindow* getDocumentWindow() const override;

    /// Makes the window's widget; nothing here.
    virtual void realizeWindow();
};

} // namespace tnUI
