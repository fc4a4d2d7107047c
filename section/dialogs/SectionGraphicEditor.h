#pragma once
// The Graphic editor as the section shows it: the section file keeps a
// line's look as one settings text (colours, pens, brush, points, marks),
// each body's colour, brush, border, gradient and label in its parameters,
// and nothing of the other series (the surface, the drawing aids). The
// controls that set anything else are disabled in the section's editors,
// saying so in their tooltip (chart/editors/UnkeptSettings.h); so are
// those of the axis windows (SectionAxisEditor.h).

#include "chart/editors/UnkeptSettings.h"

class QObject;

namespace lp {

// The tooltip of a control whose setting the section file does not keep.
extern const QString SectionUnkeptReason;

// What the section file does not keep of Edited, a series or an axis;
// nothing for an object of another chart.
TUnkeptSettings SectionUnkeptSettings(const QObject& Edited);

// Installs and removes SectionUnkeptSettings as the editor pages' query.
void RegisterSectionGraphicEditor();
void UnregisterSectionGraphicEditor();

} // namespace lp
