#include "section/modelling/InversionConstraints.h"

#include "platform/ui/Registry.h"
#include "section/inversion/SurveyInversion.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/SectionInversionInput.h"
#include "section/modelling/ModellingWindowCommands.h"

#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {
namespace {

const QString ConstraintsKey = QStringLiteral("Software\\Lithoprism\\Inversion");
const QString BoundariesName = QStringLiteral("Boundaries");
const QString LogsName = QStringLiteral("WellLogs");
const QString LogErrorName = QStringLiteral("LogError");
const QString LogReachName = QStringLiteral("LogReach");

// The kept entries: name → its fields after it, one entry a line, fields by tabs.
QMap<QString, QStringList> KeptEntries(const QString& Name)
{
    QMap<QString, QStringList> entries;
    try {
        TRegistry registry;
        if (!registry.OpenKeyReadOnly(ConstraintsKey) || !registry.ValueExists(Name))
            return entries;
        for (const QString& line : registry.ReadString(Name).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            QStringList fields = line.split(QLatin1Char('\t'));
            const QString key = fields.takeFirst();
            entries.insert(key, fields);
        }
    } catch (const std::exception&) {
        // Unreadable settings: every item as new.
    }
    return entries;
}

// A field's kept text (Name), else Default.
QString KeptField(const QString& Name, const QString& Default)
{
    try {
        TRegistry registry;
        if (registry.OpenKeyReadOnly(ConstraintsKey) && registry.ValueExists(Name))
            return registry.ReadString(Name);
    } catch (const std::exception&) {
    }
    return Default;
}

QTableWidget* ListTable(QWidget* Parent, const QString& Name, const QStringList& Headers)
{
    auto* table = new QTableWidget(0, static_cast<int>(Headers.size()), Parent);
    table->setObjectName(Name);
    table->setHorizontalHeaderLabels(Headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                           QAbstractItemView::EditKeyPressed);
    table->setTabKeyNavigation(false); // Tab leaves the table, to the next control
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            2 * table->verticalHeader()->defaultSectionSize() + 4);
    return table;
}

// A checkable item of a name, not editable.
QTableWidgetItem* NameItem(const QString& Name, bool Checked)
{
    auto* item = new QTableWidgetItem(Name);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

// A name as the settings keep it: one line, no tab.
QString OneLine(QString Name)
{
    Name.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Name.replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed();
}

QString LogName(const carotagedata& Log)
{
    return OneLine(Log.Caption.trimmed().isEmpty() ? QFileInfo(Log.Path).fileName() : Log.Caption);
}

// The names a list shows, row by row.
QStringList RowNames(const QTableWidget& Table)
{
    QStringList names;
    for (int row = 0; row < Table.rowCount(); ++row)
        names.append(Table.item(row, 0) ? Table.item(row, 0)->text() : QString());
    return names;
}

} // namespace

TInversionConstraints::TInversionConstraints(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("InversionConstraints"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    BoundaryTable = ListTable(this, QStringLiteral("BoundaryTable"),
                              {QStringLiteral("Line or boundary (Space ticks: cut)"), QStringLiteral("Weight")});
    BoundaryTable->setToolTip(QStringLiteral("With Constrain by the section, the smoothing stops where a ticked line "
                                             "or boundary runs: weight 0 cuts it sharp, 1 leaves it as if not drawn "
                                             "(Space ticks, typing a number sets the weight)"));
    LogTable = ListTable(this, QStringLiteral("LogTable"), {QStringLiteral("Well log (tick: use as resistivity)"),
                                                            QStringLiteral("Samples")});
    LogTable->setToolTip(QStringLiteral("A ticked log's values (ohm-m) become data of the cells it crosses "
                                        "(Options > Carotage data loads logs)"));
    LogErrorEdit = new QLineEdit(KeptField(LogErrorName, QStringLiteral("20")), this);
    LogErrorEdit->setObjectName(QStringLiteral("LogErrorEdit"));
    LogErrorEdit->setMaximumWidth(90);
    LogErrorEdit->setToolTip(QStringLiteral("The relative error of a log's datum at the well, in per cent of its "
                                            "resistivity"));
    LogReachEdit = new QLineEdit(KeptField(LogReachName, QString::number(DefaultLogReach)), this);
    LogReachEdit->setObjectName(QStringLiteral("LogReachEdit"));
    LogReachEdit->setMaximumWidth(90);
    LogReachEdit->setToolTip(QStringLiteral("How far along the line a log stands for the ground, in electrode "
                                            "spacings: the columns within it take the log's values as data, their "
                                            "error growing with the distance from the well; 0: the well's column "
                                            "alone"));
    // The window's other mnemonics leave J: the page's own (Alt+K) leads to
    // the first table, Tab to the next controls. The first table's header
    // says what it holds: no label above it, so that the page fits the
    // window's opening height with its fields.
    auto* logs = new QLabel(QStringLiteral("&Join well logs to the data:"), this);
    logs->setBuddy(LogTable);
    auto* error = new QLabel(QStringLiteral("Log error (%):"), this);
    error->setBuddy(LogErrorEdit);
    auto* reach = new QLabel(QStringLiteral("Reach (spacings):"), this);
    reach->setBuddy(LogReachEdit);
    layout->addWidget(BoundaryTable, 1);
    layout->addWidget(logs);
    layout->addWidget(LogTable, 1);
    auto* errorRow = new QHBoxLayout;
    errorRow->addWidget(error);
    errorRow->addWidget(LogErrorEdit);
    errorRow->addWidget(reach);
    errorRow->addWidget(LogReachEdit);
    errorRow->addStretch(1);
    layout->addLayout(errorRow);
    setTabOrder(BoundaryTable, LogTable);
    setTabOrder(LogTable, LogErrorEdit);
    setTabOrder(LogErrorEdit, LogReachEdit);

    connect(BoundaryTable, &QTableWidget::itemChanged, this, [this] { Changed(); });
    connect(LogTable, &QTableWidget::itemChanged, this, [this] { Changed(); });
    connect(LogErrorEdit, &QLineEdit::editingFinished, this, [this] { Changed(); });
    connect(LogReachEdit, &QLineEdit::editingFinished, this, [this] { Changed(); });
}

void TInversionConstraints::ShowSection(const TForwardModel* Ground, const AllSpolygon& Model, const lines& Lines)
{
    FLines.clear();
    FRegions.clear();
    FRegionCount = Ground ? static_cast<int>(Ground->Regions.size()) : 0;
    QStringList names;
    const auto add = [&](const QString& Text) { names.append(OneLine(Text)); };
    for (int l = 0; l < Lines.Length(); ++l) {
        std::vector<TGeometryPoint> points;
        for (const complexM& point : Lines[l].points)
            points.push_back({point.re, -point.im});
        if (points.size() < 2)
            continue;
        FLines.push_back(std::move(points));
        const QString text = QString::fromStdString(Lines[l].text).trimmed();
        add(text.isEmpty() ? QStringLiteral("Line %1").arg(l + 1) : QStringLiteral("Line %1: %2").arg(l + 1).arg(text));
    }
    for (int r = 1; r < FRegionCount; ++r) {
        const TGeometryRegion& region = Ground->Geometry.Regions.at(static_cast<size_t>(r));
        QString name = QString::fromStdString(region.name);
        if (region.body >= 0 && region.body < Model.Length() && region.ring >= 0 &&
            region.ring < Model[region.body].Length()) {
            const ParamValue& label = Model[region.body][region.ring].params[psLabelText];
            if (!label.IsEmpty() && !QString::fromStdString(label.AsText()).trimmed().isEmpty())
                name = QString::fromStdString(label.AsText()).trimmed();
        }
        FRegions.push_back(r);
        add(QStringLiteral("Boundary of %1").arg(name));
    }
    if (names == RowNames(*BoundaryTable))
        return; // the same items: the checks, weights and an open field stay as they are
    const QMap<QString, QStringList> kept = KeptEntries(BoundariesName);
    FFilling = true;
    BoundaryTable->setRowCount(0);
    for (const QString& name : names) {
        const QStringList fields = kept.value(name);
        const int row = BoundaryTable->rowCount();
        BoundaryTable->insertRow(row);
        BoundaryTable->setItem(row, 0, NameItem(name, fields.value(0, QStringLiteral("1")) == QStringLiteral("1")));
        BoundaryTable->setItem(row, 1, new QTableWidgetItem(fields.value(1, QStringLiteral("0"))));
    }
    if (BoundaryTable->rowCount() > 0)
        BoundaryTable->setCurrentCell(0, 0);
    FFilling = false;
}

void TInversionConstraints::ShowLogs(const arofcarotagedata* Logs)
{
    FLogs.Clear();
    QStringList names;
    if (Logs)
        for (const carotagedata& log : *Logs) {
            carotagedata copy = log;
            copy.Series = nullptr;
            copy.PictureTool = nullptr;
            FLogs.Add(std::move(copy));
            names.append(LogName(log));
        }
    if (names == RowNames(*LogTable)) {
        const bool filling = FFilling;
        FFilling = true;
        for (int row = 0; row < LogTable->rowCount() && row < FLogs.Length(); ++row)
            if (QTableWidgetItem* samples = LogTable->item(row, 1))
                samples->setText(QString::number(FLogs[row].Points.Length()));
        FFilling = filling;
        return;
    }
    const QMap<QString, QStringList> kept = KeptEntries(LogsName);
    FFilling = true;
    LogTable->setRowCount(0);
    if (Logs)
        for (const carotagedata& log : *Logs) {
            const QString name = LogName(log);
            const int row = LogTable->rowCount();
            LogTable->insertRow(row);
            LogTable->setItem(row, 0, NameItem(name, kept.value(name).value(0) == QStringLiteral("1")));
            auto* samples = new QTableWidgetItem(QString::number(log.Points.Length()));
            samples->setFlags(Qt::ItemIsEnabled);
            LogTable->setItem(row, 1, samples);
        }
    if (LogTable->rowCount() > 0)
        LogTable->setCurrentCell(0, 0);
    FFilling = false;
}

TStructuralConstraint TInversionConstraints::Choice() const
{
    TStructuralConstraint choice;
    std::vector<double> weights(static_cast<size_t>(FRegionCount), 1.0);
    bool boundary = false;
    const int lineRows = static_cast<int>(FLines.size());
    for (int row = 0; row < BoundaryTable->rowCount(); ++row) {
        const QTableWidgetItem* name = BoundaryTable->item(row, 0);
        if (!name || name->checkState() != Qt::Checked)
            continue;
        bool valid = true;
        const std::optional<double> weight =
            TypedNumber(BoundaryTable->item(row, 1) ? BoundaryTable->item(row, 1)->text() : QString(), false, valid);
        if (!weight || *weight < 0.0 || *weight > 1.0)
            throw EForwardError(name->text().toStdString() + ": the weight must be a number from 0 (sharp) to 1 (no effect).");
        if (row < lineRows) {
            choice.Lines.push_back({FLines.at(static_cast<size_t>(row)), *weight});
        } else {
            weights.at(static_cast<size_t>(FRegions.at(static_cast<size_t>(row - lineRows)))) = *weight;
            boundary = true;
        }
    }
    if (boundary)
        choice.ZoneWeights = std::move(weights);
    return choice;
}

std::vector<TWellLog> TInversionConstraints::UsedLogs() const
{
    std::vector<TWellLog> logs;
    for (int row = 0; row < LogTable->rowCount() && row < FLogs.Length(); ++row) {
        const QTableWidgetItem* name = LogTable->item(row, 0);
        if (!name || name->checkState() != Qt::Checked)
            continue;
        TWellLog log = WellLogOf(FLogs[row]);
        CheckWellLog(log); // refused here, by its name, before any run
        logs.push_back(std::move(log));
    }
    return logs;
}

std::optional<double> TInversionConstraints::LogErrorPercent() const
{
    bool valid = true;
    return TypedNumber(LogErrorEdit->text(), true, valid);
}

std::optional<double> TInversionConstraints::LogReach() const
{
    bool valid = true;
    const std::optional<double> reach = TypedNumber(LogReachEdit->text(), false, valid);
    if (!reach || *reach < 0.0 || *reach > MostLogReach)
        return std::nullopt;
    return reach;
}

void TInversionConstraints::Changed()
{
    if (FFilling)
        return;
    Save();
    if (OnChanged)
        OnChanged();
}

void TInversionConstraints::Save() const
{
    try {
        QMap<QString, QStringList> boundaries = KeptEntries(BoundariesName), logs = KeptEntries(LogsName);
        for (int row = 0; row < BoundaryTable->rowCount(); ++row)
            if (const QTableWidgetItem* name = BoundaryTable->item(row, 0))
                boundaries.insert(name->text(),
                                  {name->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0"),
                                   BoundaryTable->item(row, 1) ? BoundaryTable->item(row, 1)->text() : QString()});
        for (int row = 0; row < LogTable->rowCount(); ++row)
            if (const QTableWidgetItem* name = LogTable->item(row, 0))
                logs.insert(name->text(), {name->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0")});
        const auto text = [](const QMap<QString, QStringList>& Entries) {
            QStringList lines;
            for (auto entry = Entries.begin(); entry != Entries.end(); ++entry)
                lines.append((QStringList{entry.key()} + entry.value()).join(QLatin1Char('\t')));
            return lines.join(QLatin1Char('\n'));
        };
        TRegistry registry;
        if (!registry.OpenKey(ConstraintsKey, true))
            return;
        registry.WriteString(BoundariesName, text(boundaries));
        registry.WriteString(LogsName, text(logs));
        registry.WriteString(LogErrorName, LogErrorEdit->text());
        registry.WriteString(LogReachName, LogReachEdit->text());
    } catch (const std::exception&) {
        // Settings that cannot be written cost the user nothing now.
    }
}

} // namespace lp
