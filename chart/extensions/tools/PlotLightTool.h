#pragma once
// The lighting tool: after the chart is drawn it darkens the picture with
// the distance from a light point, as if a lamp lit the chart; the point
// may follow the mouse.
//
// The pass reads the pixels the chart was just drawn into (the canvas's
// buffer, or the bitmap the chart draws into), darkens a 24-bit copy into
// one output image shared by every lighting tool and draws it back over
// the pass's panel rectangle. A pass into a metafile, a printed page (or
// its preview) and a device without pixels are left unlit.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <QtGui/QImage>

namespace lp {

class TLightTool : public TPlotCustomTool {
    Q_OBJECT
public:
    enum TLightStyle { lsLinear, lsSpotLight };
    Q_ENUM(TLightStyle)

private:
    Q_PROPERTY(int Factor READ Factor WRITE SetFactor)
    Q_CLASSINFO("default:Factor", "10")
    Q_PROPERTY(bool FollowMouse READ FollowMouse WRITE SetFollowMouse)
    Q_CLASSINFO("default:FollowMouse", "false")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("default:Left", "-1")
    Q_PROPERTY(TLightStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "lsLinear")
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("default:Top", "-1")

public:
    explicit TLightTool(TComponent* AOwner = nullptr);
    ~TLightTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TLightToolEditor"); }
    // "2D Lighting".
    QString Description() const override;

    // Per cent strength of the darkening.
    int Factor() const { return FFactor; }
    void SetFactor(int Value) { SetIntegerProperty(FFactor, Value); }
    bool FollowMouse() const { return FFollowMouse; }
    void SetFollowMouse(bool Value) { FFollowMouse = Value; }
    // The light point in chart pixels; -1 stands for the picture's centre.
    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetIntegerProperty(FLeft, Value); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetIntegerProperty(FTop, Value); }
    TLightStyle Style() const { return FStyle; }
    void SetStyle(TLightStyle Value);

    // A repaint once the tool is on a chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    // Lights the finished picture (event 0).
    void ChartEvent(int Event) override;
    // With FollowMouse a move puts the light point under the mouse.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // The 24-bit copy of the picture the last pass lit (null before).
    const QImage& Picture() const { return FPicture; }

private:
    void LightPass();

    int FFactor = 10;
    bool FFollowMouse = false;
    int FLeft = -1;
    int FTop = -1;
    TLightStyle FStyle = lsLinear;
    QImage FPicture;
    bool FBusy = false;
};

using TLightStyle = TLightTool::TLightStyle;
inline constexpr TLightStyle lsLinear = TLightTool::lsLinear;
inline constexpr TLightStyle lsSpotLight = TLightTool::lsSpotLight;

// The darkening by how far (c, r) lies from the light at (X, Y) in a
// Width by Height picture: 0 leaves a pixel, 255 and more turn it black.
int LightDarkening(int Width, int Height, int X, int Y, int C, int R, int Factor, TLightStyle Style);

// Output becomes Picture (24-bit) darkened around the light (X, Y):
// each colour byte less the darkening, at least 0. Output is reused when
// it has Picture's size and format.
void LightPicture(const QImage& Picture, QImage& Output, int X, int Y, int Factor, TLightStyle Style);

// The lighting tools' shared output image (a null image until the first
// pass); FreeLightOutput releases it at shutdown.
const QImage& LightOutput();
void FreeLightOutput();

void RegisterLightTool();
void UnregisterLightTool();

} // namespace lp
