#pragma once

#include "Window.h"

namespace tnUI {

// A window without widget or document, for a host's trial set-ups.
class TestWindow : public Window {
public:
    TestWindow() = default;

    DocumentWindow* getDocumentWindow() override;
    const DocumentWindow* getDocumentWindow() const override;

    virtual void realizeWindow();
};

} // namespace tnUI
