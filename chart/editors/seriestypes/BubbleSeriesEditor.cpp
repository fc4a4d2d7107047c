#include "chart/editors/seriestypes/BubbleSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TBubbleSeriesEditor::TBubbleSeriesEditor(QWidget* Parent) : TSeriesPointerEditor(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    CBDrawPoint->hide();
    UDTransp = TPageBuilder::Named(new QSpinBox(this), "UDTransp");
    UDTransp->setRange(0, 100);
    UDTransp->setSingleStep(5);
    auto* label = TPageBuilder::Named(new QLabel(QStringLiteral("&Transparency:"), this), "LTransp");
    label->setBuddy(UDTransp);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(UDTransp);
    row->addStretch(1);
    // Below the pointer's controls, above the page's closing stretch.
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertLayout(column->count() - 2, row);
    SetReadingTabOrder(*this);
    Binder().Bind(UDTransp, QStringLiteral("Transparency"));
}

} // namespace lp
