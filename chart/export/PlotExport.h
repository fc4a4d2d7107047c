#pragma once
// Start-up of the export layer.
//
// InitializeChartExport, called after InitializeChartExtensions, registers
// the picture export formats in this order: metafile, bitmap, PNG, JPEG,
// SVG, PDF (so the metafile owns filter indexes 1 and 2, the bitmap 3), and
// installs CreateGraphicForExtension as the rich-text picture factory, then
// registers the chart file's classes and the "vud" chart picture format.
// FinalizeChartExport undoes all of it in reverse order. Counted like the
// engine's start-up.

namespace lp {

void InitializeChartExport();
void FinalizeChartExport();

} // namespace lp
