#pragma once
// Helpers shared by the extension series tests: the tilted 3-D chart of
// the reference pictures, a chart copied through the binary stream and a
// component in the stream's text form.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "platform/core/ComponentStream.h"

#include <QtCore/QBuffer>

namespace lp::test {

// 400 × 300, unbuffered, no legend, 3-D turned and tilted by 15 degrees
// without perspective, half as deep as wide.
inline void SetUpTiltedPictureChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(true);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Chart.View3DOptions()->SetOrthogonal(false);
    Chart.View3DOptions()->SetElevation(345);
    Chart.View3DOptions()->SetRotation(345);
    Chart.View3DOptions()->SetPerspective(0);
    Chart.SetChart3DPercent(50);
}

// Writes Original as a binary stream and reads it into Copy.
inline void ReadInto(TChart& Original, TChart& Copy)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    TComponentWriter(&Original).WriteDescendent(Out, &Original);
    QBuffer In;
    In.setData(Out.data());
    In.open(QIODevice::ReadOnly);
    TComponentReader().ReadRootComponent(In, &Copy);
}

// Root with all it owns in the text form of the component stream.
inline QByteArray ComponentText(TComponent& Root)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    WriteStreamText(TComponentWriter(&Root).WriteComponent(&Root), Out);
    return Out.data();
}

} // namespace lp::test
