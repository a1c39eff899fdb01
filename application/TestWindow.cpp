#include "TestWindow.h"

namespace tnUI {

DocumentWindow* TestWindow::getDocumentWindow()
{
    return nullptr;
}

const DocumentWindow* TestWindow::getDocumentWindow() const
{
    return nullptr;
}

void TestWindow::realizeWindow()
{}

} // namespace tnUI
