#include "chart/editors/functions/CompressFunctionEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/extensions/financial/PlotCompress.h"

#include <QtCore/QEvent>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

#include <algorithm>

namespace lp {

namespace {

constexpr int CompressPointsLimit = 32767;

} // namespace

TCompressFuncEditor::TCompressFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setSpacing(6);
    RadioDate = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Date period:"), this), "RadioDate");
    RadioDate->setChecked(true);
    CBDatePeriod = TPageBuilder::Named(new QComboBox(this), "CBDatePeriod");
    CBDatePeriod->addItems({QStringLiteral("Daily (none)"), QStringLiteral("Weekly"), QStringLiteral("Monthly"),
                            QStringLiteral("Bi-Monthly"), QStringLiteral("Quarterly"), QStringLiteral("Yearly")});
    RadioTime = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Time period:"), this), "RadioTime");
    CBTimePeriod = TPageBuilder::Named(new QComboBox(this), "CBTimePeriod");
    CBTimePeriod->addItems({QStringLiteral("Second"), QStringLiteral("TenSecond"), QStringLiteral("Minute"),
                            QStringLiteral("TwoMinutes"), QStringLiteral("FiveMinutes"), QStringLiteral("TenMinutes"),
                            QStringLiteral("FifteenMinutes"), QStringLiteral("TwentyMinutes"),
                            QStringLiteral("HalfHour"), QStringLiteral("Hour"), QStringLiteral("TwoHours"),
                            QStringLiteral("ThreeHour"), QStringLiteral("SixHour"), QStringLiteral("TwelveHour")});
    CBTimePeriod->setMaxVisibleItems(14);
    RadioPoints = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Number of points:"), this), "RadioPoints");
    UpDown1 = TPageBuilder::Named(new QSpinBox(this), "UpDown1");
    UpDown1->setRange(0, CompressPointsLimit);
    UpDown1->setValue(1);
    grid->addWidget(RadioDate, 0, 0);
    grid->addWidget(CBDatePeriod, 0, 1, Qt::AlignLeft);
    grid->addWidget(RadioTime, 1, 0);
    grid->addWidget(CBTimePeriod, 1, 1, Qt::AlignLeft);
    grid->addWidget(RadioPoints, 2, 0);
    grid->addWidget(UpDown1, 2, 1, Qt::AlignLeft);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
    SetReadingTabOrder(*this);

    connect(RadioDate, &QRadioButton::toggled, this, [this](bool On) {
        if (On && !Loading())
            RadioPeriodClick(CBDatePeriod);
    });
    connect(RadioTime, &QRadioButton::toggled, this, [this](bool On) {
        if (On && !Loading())
            RadioPeriodClick(CBTimePeriod);
    });
    connect(RadioPoints, &QRadioButton::toggled, this, [this](bool On) {
        if (On && !Loading())
            RadioPointsClick();
    });
    // Choosing a period chooses its kind; checking the radio button (when
    // it was not checked) also clears the number of points.
    connect(CBDatePeriod, &QComboBox::activated, this, [this] {
        RadioDate->setChecked(true);
        Changed();
    });
    connect(CBTimePeriod, &QComboBox::activated, this, [this] {
        RadioTime->setChecked(true);
        Changed();
    });
    UpDown1->installEventFilter(this);
    UpDown1->findChild<QLineEdit*>()->installEventFilter(this);
    // A number typed or stepped is a number of points.
    connect(UpDown1, &QSpinBox::valueChanged, this, [this] {
        if (Loading() || Creating())
            return;
        RadioPoints->setChecked(true);
        Changed();
    });
}

bool TCompressFuncEditor::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::MouseButtonPress && (Watched == UpDown1 || Watched == UpDown1->findChild<QLineEdit*>()))
        RadioPoints->setChecked(true);
    return TBaseFunctionEditor::eventFilter(Watched, Event);
}

void TCompressFuncEditor::RadioPeriodClick(QComboBox* Combo)
{
    {
        const QSignalBlocker block(UpDown1);
        UpDown1->setValue(0);
    }
    Combo->setFocus();
    Changed();
}

void TCompressFuncEditor::RadioPointsClick()
{
    UpDown1->setFocus();
    Changed();
}

void TCompressFuncEditor::LoadSettings()
{
    auto* compress = qobject_cast<TCompressFunction*>(Function());
    if (!compress)
        return;
    CBDatePeriod->setCurrentIndex(0);
    CBTimePeriod->setCurrentIndex(0);
    const double period = compress->Period();
    if (period == 0) {
        const int value = static_cast<int>(compress->Compress());
        UpDown1->setValue(0);
        if (value >= FirstTimePeriod) {
            CBTimePeriod->setCurrentIndex(value - FirstTimePeriod);
            RadioTime->setChecked(true);
        } else {
            CBDatePeriod->setCurrentIndex(value);
            RadioDate->setChecked(true);
        }
    } else {
        UpDown1->setValue(RoundedForUpDown(period));
        RadioPoints->setChecked(true);
    }
}

void TCompressFuncEditor::StoreSettings()
{
    auto* compress = qobject_cast<TCompressFunction*>(Function());
    if (!compress)
        return;
    const int value = RadioDate->isChecked() ? CBDatePeriod->currentIndex()
                                             : CBTimePeriod->currentIndex() + FirstTimePeriod;
    compress->SetCompress(static_cast<TCompressionPeriod>(std::max(value, 0)));
    compress->SetPeriod(UpDown1->value());
}

} // namespace lp
