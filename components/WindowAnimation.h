#pragma once
// How a window appears or disappears: an effect, a duration and the
// directions of a roll or slide, turned into window-animation flags.

#include "platform/core/Component.h"

#include <functional>

class QWidget;

namespace lp {

class TuiAnimateWin : public TPersistent {
    Q_OBJECT
public:
    enum TuiAnimEffect { aweNone, aweRoll, aweSlide, aweBlend, aweCenter };
    Q_ENUM(TuiAnimEffect)
    enum TuiAnimDirection { awdNone, awdPositive, awdNegative };
    Q_ENUM(TuiAnimDirection)

private:
    Q_PROPERTY(int Duration READ Duration WRITE SetDuration)
    Q_CLASSINFO("default:Duration", "200")
    Q_PROPERTY(TuiAnimEffect Effect READ Effect WRITE SetEffect)
    Q_CLASSINFO("default:Effect", "aweNone")
    Q_PROPERTY(TuiAnimDirection Horz READ Horz WRITE SetHorz)
    Q_CLASSINFO("default:Horz", "awdNone")
    Q_PROPERTY(TuiAnimDirection Vert READ Vert WRITE SetVert)
    Q_CLASSINFO("default:Vert", "awdNone")

public:
    TuiAnimateWin() = default;

    // Milliseconds, 0 … 65535.
    int Duration() const { return FDuration; }
    void SetDuration(int Value);
    TuiAnimEffect Effect() const { return FEffect; }
    // A roll or slide without a direction rolls to the right.
    void SetEffect(TuiAnimEffect Value);
    TuiAnimDirection Horz() const { return FHorz; }
    void SetHorz(TuiAnimDirection Value);
    TuiAnimDirection Vert() const { return FVert; }
    void SetVert(TuiAnimDirection Value);

    // The window-animation flags for showing or hiding.
    unsigned Flags(bool Hiding) const;
    // Runs the effect on the window; false for aweNone or when the
    // animation could not run.
    bool Animate(QWidget* Window, bool Hiding) const;

    void Assign(const TPersistent* Source) override;

    // Told of every change (the splash adjusts its shape setting).
    std::function<void(TuiAnimateWin*)> OnChange;

private:
    void Changed();
    // A roll or slide left without any direction stops animating.
    void DropDirectionlessRoll();

    int FDuration = 200;
    TuiAnimEffect FEffect = aweNone;
    TuiAnimDirection FHorz = awdNone;
    TuiAnimDirection FVert = awdNone;
};

using TuiAnimEffect = TuiAnimateWin::TuiAnimEffect;
using TuiAnimDirection = TuiAnimateWin::TuiAnimDirection;

} // namespace lp
