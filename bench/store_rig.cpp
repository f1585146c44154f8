#include "bench/store_rig.h"

#include "store/catalogue_model.h"

#include <QColor>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPixmap>

namespace bench {

int AnsweringDialogs::MsgBox(const QString &, int flags, const QString &)
{
    ++shown;
    return (flags & platform::vbYesNo) ? platform::vbYes : platform::vbOK;
}

QString AnsweringDialogs::InputBox(const QString &, const QString &, const QString &)
{
    ++shown;
    return {};
}

platform::ImageList treeImages()
{
    platform::ImageList images;
    for (int i = 0; i < 4; ++i) {
        QPixmap picture(16, 16);
        picture.fill(QColor::fromHsv(i * 80, 200, 200));
        images.push_back(picture);
    }
    return images;
}

StoreRig::StoreRig(const QString &dbPath)
{
    store.session().switchTo(dbPath);
    store.OpenStore();
    store.CloseStore();
}

void StoreRig::FillSettled()
{
    store.FillCatalogue();
    while (const auto *model = qobject_cast<const CatalogueModel *>(tree.model()))
        if (model->counting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        else
            break;
}

}  // namespace bench
