// Makes the Qt drawing objects the defaults of the marking menus' factories
// as soon as the library is loaded. The factories only run when called, so
// loading needs no QGuiApplication.
#include "QmarkImage.h"
#include "QmarkStyledText.h"
#include "QmarkTooltip.h"

namespace {

struct InstallQtFactories {
    InstallQtFactories()
    {
        setImageFactory(&QmarkImage::create);
        setStyledTextFactory(&QmarkStyledText::create);
        setTooltipFactory(&QmarkTooltip::create);
    }
};

const InstallQtFactories s_installQtFactories;

} // namespace
