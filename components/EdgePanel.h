#pragma once
// A panel whose bevels can be limited to chosen edges, and the frame
// routine it draws them with. The splitter stands on it.
//
// Painting, from the outside in: the outer bevel (BevelWidth rings on the
// chosen edges), a flat frame of BorderWidth in Color, the inner bevel,
// then the caption vertically centred and aligned by Alignment.

#include "platform/ui/Controls.h"
#include "platform/ui/StatusBar.h"

#include <memory>

namespace lp {

// Draws Width rings on the chosen edges (BF_LEFT … BF_BOTTOM): the left and
// top in TopColor, the right and bottom in BottomColor; unchosen edges are
// skipped. Rect shrinks by one pixel on every side per ring.
void Frame3DEdges(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width, unsigned Edges);

class TuiCustomEdgePanel : public TControl {
    Q_OBJECT
public:
    enum TBevelEdge { beLeft = 0x1, beTop = 0x2, beRight = 0x4, beBottom = 0x8 };
    Q_DECLARE_FLAGS(TBevelEdges, TBevelEdge)
    Q_FLAG(TBevelEdges)
    enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TPanelBevel)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

public:
    explicit TuiCustomEdgePanel(TComponent* AOwner = nullptr);
    ~TuiCustomEdgePanel() override;

    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    // At least 1.
    void SetBevelWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int BorderWidth() const { return FBorderWidth; }
    // Not negative.
    void SetBorderWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TFont& Font() const { return *FFont; }

    void Paint(TCanvas& Canvas) override;

protected:
    // After a bevel or border setting changed.
    virtual void BordersChanged() { Invalidate(); }
    // The single border: a sunken edge two pixels wide around the client.
    void PaintBorder(TCanvas& Canvas, TRect& Rect) const;

private:
    template <class T>
    void Update(T& Field, const T& Value, bool Borders);

    TBevelEdges FBevelEdges = TBevelEdges(beLeft | beTop | beRight | beBottom);
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    int FBorderWidth = 0;
    TColor FColor = clBtnFace;
    QString FCaption;
    TAlignment FAlignment = taCenter;
    std::unique_ptr<TFont> FFont;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TuiCustomEdgePanel::TBevelEdges)
using TPanelBevel = TuiCustomEdgePanel::TPanelBevel;
using TBevelEdges = TuiCustomEdgePanel::TBevelEdges;
inline constexpr TPanelBevel bvNone = TuiCustomEdgePanel::bvNone, bvLowered = TuiCustomEdgePanel::bvLowered,
                             bvRaised = TuiCustomEdgePanel::bvRaised, bvSpace = TuiCustomEdgePanel::bvSpace;

} // namespace lp
