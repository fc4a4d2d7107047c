#pragma once
// Start-up of the chart editors' layer: registers the editor pages by
// class name and fills the chart's editor entry points that have their
// pages. Counted: every Initialize is matched by one Finalize, which undoes
// it in reverse when the count returns to zero. Runs after the chart
// library, its extensions and its export layer have started.

namespace lp {

void InitializeChartEditors();
void FinalizeChartEditors();

} // namespace lp
