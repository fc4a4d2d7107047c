#pragma once
// Helpers shared by the canvas suites.

#include "chart/canvas/PlotEffects.h"

#include <QtCore/QString>

namespace lp::test {

// Sets the process-wide default font for one test (other suites of the same
// program may change it) and puts the old one back.
class TDefaultFontScope {
public:
    TDefaultFontScope(const QString& name, int size) : FName(DefaultFontName()), FSize(DefaultFontSize())
    {
        SetDefaultFontName(name);
        SetDefaultFontSize(size);
    }
    ~TDefaultFontScope()
    {
        SetDefaultFontName(FName);
        SetDefaultFontSize(FSize);
    }

private:
    QString FName;
    int FSize;
};

} // namespace lp::test
