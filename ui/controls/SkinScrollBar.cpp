#include "SkinScrollBar.h"

#include "SkinScrollState.h"
#include "SkinScrollTiles.h"
#include "skin/SkinImageManager.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QVariant>

namespace pellix {

bool SkinScrollInstall(QWidget* window, const QPixmap& bitmap,
                       std::unique_ptr<ISkinScrollTimer> timer) {
    auto* area = qobject_cast<QAbstractScrollArea*>(window);
    if (area == nullptr || !SkinScrollTiles::Fits(bitmap) || SkinScrollFind(window) != nullptr)
        return false;
    if (timer == nullptr)
        timer = std::make_unique<CSkinScrollTimer>();
    auto* state = new SkinScrollState(*area, bitmap, std::move(timer));
    window->setProperty(kSkinScrollProperty, QVariant::fromValue(QPointer<SkinScrollState>(state)));
    return true;
}

bool SkinScrollRemove(QWidget* window) {
    SkinScrollState* state = SkinScrollFind(window);
    if (state == nullptr)
        return false;
    state->Restore();
    window->setProperty(kSkinScrollProperty, QVariant());
    delete state;
    return true;
}

SkinScrollState* SkinScrollFind(const QWidget* window) {
    if (window == nullptr)
        return nullptr;
    return window->property(kSkinScrollProperty).value<QPointer<SkinScrollState>>().data();
}

QPixmap SkinScrollLoadBitmap() {
    return CSkinImageManager::Instance().GetImage(QString::fromLatin1(kSkinScrollBitmapFile));
}

} // namespace pellix
