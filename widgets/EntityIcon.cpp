#include "EntityIcon.h"

#include <tnUI/entity/DecoratedEntity.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>

#include <QCache>
#include <QCoreApplication>
#include <QPointer>

namespace tnUI {

namespace {

int g_iconDecodes = 0;

// The icons of image files by the paths of their Normal and Disabled
// images. A child of the application, so that its pixmaps go before the
// application does.
class IconCache : public QObject {
public:
    using QObject::QObject;

    static IconCache& instance()
    {
        static QPointer<IconCache> cache;
        if (!cache)
            cache = new IconCache(QCoreApplication::instance());
        return *cache;
    }

    QIcon icon(const QString& normal, const QString& disabled)
    {
        const QString key = normal + QLatin1Char('\n') + disabled;
        if (const QIcon* icon = m_icons.object(key))
            return *icon;
        // QIcon decodes a raster file here, once, and scales it for every
        // size asked of it later.
        auto* icon = new QIcon;
        icon->addFile(normal);
        ++g_iconDecodes;
        if (!disabled.isEmpty()) {
            icon->addFile(disabled, QSize(), QIcon::Disabled);
            ++g_iconDecodes;
        }
        QIcon result = *icon;
        m_icons.insert(key, icon);
        return result;
    }

private:
    QCache<QString, QIcon> m_icons{128};
};

QString path(const ImageFile* file)
{
    return file ? QString::fromStdWString(file->getFilename()->asString().str()) : QString();
}

} // namespace

QIcon iconOf(const DecoratedEntity* entity)
{
    const QString normal = path(entity->getIcon(IconState::Normal, IconMode::Default));
    if (normal.isEmpty())
        return QIcon();
    return IconCache::instance().icon(normal, path(entity->getIcon(IconState::Disabled, IconMode::Default)));
}

int iconFileDecodes()
{
    return g_iconDecodes;
}

} // namespace tnUI
