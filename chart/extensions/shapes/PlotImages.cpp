// The picture series' bitmap resources.

#include "chart/extensions/shapes/PlotImages.h"

#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QFile>

namespace lp {

void LoadPlotImage(const QString& Name, TPicture& Picture)
{
    QFile File(QStringLiteral(":/plotimages/%1.bmp").arg(Name));
    if (!File.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(FormatText("No picture resource named %s", {Name.toStdString()}));
    TBitmap Bitmap;
    Bitmap.LoadFromStream(File);
    Picture.SetGraphic(&Bitmap);
}

} // namespace lp
