#pragma once
// A chart with a font of its own beyond its axes, titles and series marks
// (a mesh model or pseudo-section chart) names it here, so exports that
// enlarge a chart's fonts enlarge that one too.

namespace lp {

class TPlotFont;

class TExportFontSource {
public:
    virtual ~TExportFontSource() = default;
    virtual TPlotFont* FurtherExportFont() = 0;
};

} // namespace lp
