#include "chart/editors/data/ChartGrid.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterDC.h"
#include "platform/ui/Application.h"

#include <QtCore/QDateTime>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

constexpr int HeaderBandHeight = 20;
constexpr int PointNumberWidth = 30;
constexpr int ColorsColumnWidth = 40;

// The property of the in-place editor holding the text it opened with.
constexpr char OpenedTextProperty[] = "lpOpenedText";

// A typed number as the cells show them (the value format's notation in
// the user's separators), or in the user's locale.
bool ReadCellNumber(const QString& Text, double& Value)
{
    std::optional<double> Read = ReadFormattedReal(Text, NumberFormatSettings(QLocale()));
    if (!Read)
        Read = TypedReal(Text);
    if (Read)
        Value = *Read;
    return Read.has_value();
}

// A typed date and time, a date, or a time of day (as a fraction of a day):
// first as the cells show them ("dd/mm/yyyy hh:nn:ss", "hh:nn:ss"), then
// in the user's and the ISO forms, then as a number of days.
bool ReadCellDateTime(const QString& Text, double& Value)
{
    const QString Trimmed = Text.trimmed();
    for (double (*Read)(const QString&) : {&ReadDateTime, &ReadTime}) {
        try {
            Value = Read(Trimmed);
            return true;
        } catch (const Exception&) {
        }
    }
    const QLocale Locale;
    for (const QString& Format : {Locale.dateTimeFormat(QLocale::ShortFormat), QStringLiteral("yyyy-MM-dd hh:mm:ss"),
                                  QStringLiteral("yyyy-MM-dd hh:mm"), Locale.dateFormat(QLocale::ShortFormat),
                                  QStringLiteral("yyyy-MM-dd")}) {
        const QDateTime When = QDateTime::fromString(Trimmed, Format);
        if (!When.isValid())
            continue;
        // Encoded as dates are decoded: before day 0 the fraction is the
        // time of that earlier day (29 December 1899 06:00 is -1.25).
        const QDate Date = When.date();
        const QTime Time = When.time();
        try {
            Value = EncodeDateTime(Date.year(), Date.month(), Date.day(), Time.hour(), Time.minute(), Time.second(),
                                   Time.msec());
            return true;
        } catch (const Exception&) {
            // A year the chart's dates cannot hold: try the other readings.
        }
    }
    for (const QString& Format : {Locale.timeFormat(QLocale::ShortFormat), QStringLiteral("hh:mm:ss"),
                                  QStringLiteral("hh:mm")}) {
        const QTime Time = QTime::fromString(Trimmed, Format);
        if (Time.isValid()) {
            Value = Time.msecsSinceStartOfDay() / 86400000.0;
            return true;
        }
    }
    return ReadCellNumber(Trimmed, Value);
}

// A value as its cell shows it: a date and time to the second (and
// millisecond), a time alone from 0 up to one day, else formatted with the
// series' value format in the user's separators — or as a plain number
// where that text is not one the cell reads back (a format with words or
// brackets, a value rounded past the largest number).
QString ValueText(const TChartSeries& Series, const TChartValueList& List, int Index)
{
    const double Value = List.Value(Index);
    if (List.DateTime())
        return DateTimeLimitText(Value);
    const QString Formatted = FormatFloat(Series.ValueFormat(), Value, NumberFormatSettings(QLocale()));
    double Read = 0;
    return std::isfinite(Value) && !ReadCellNumber(Formatted, Read) ? NumberText(Value) : Formatted;
}

// The series' mandatory list: the one shown when its X column is hidden.
TChartValueList* MandatoryList(const TChartSeries& Series)
{
    return Series.OtherValues() == Series.XValues() ? Series.YValues() : Series.XValues();
}

// Refuses to close the in-place editor on a text that is not a number:
// Enter, Return and Tab then leave it open without a word. A text left as
// it opened stores nothing: the cell shows its value rounded by the format,
// and the value stays as it was.
class TChartGridDelegate : public QStyledItemDelegate {
public:
    TChartGridDelegate(TChartGrid& Grid) : QStyledItemDelegate(&Grid), FGrid(Grid) {}

    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override
    {
        if (auto* Line = qobject_cast<QLineEdit*>(Editor)) {
            const QString Text = FGrid.GridModel().CellText(Index.row(), Index.column());
            Line->setText(Text);
            Line->setProperty(OpenedTextProperty, Text);
        }
    }
    void setModelData(QWidget* Editor, QAbstractItemModel*, const QModelIndex& Index) const override
    {
        auto* Line = qobject_cast<QLineEdit*>(Editor);
        if (Line && !Unchanged(*Line))
            FGrid.GridModel().setData(Index, Line->text(), Qt::EditRole);
    }

protected:
    bool eventFilter(QObject* Object, QEvent* Event) override
    {
        auto* Line = qobject_cast<QLineEdit*>(Object);
        if (Line && Event->type() == QEvent::KeyPress) {
            const int Key = static_cast<QKeyEvent*>(Event)->key();
            const bool Closes = Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Tab ||
                                Key == Qt::Key_Backtab;
            const QModelIndex Index = FGrid.currentIndex();
            if (Closes && !Line->text().trimmed().isEmpty() && !Unchanged(*Line) && !Accepts(Index, Line->text()))
                return true;
        }
        return QStyledItemDelegate::eventFilter(Object, Event);
    }

private:
    static bool Unchanged(const QLineEdit& Line)
    {
        const QVariant Opened = Line.property(OpenedTextProperty);
        return Opened.isValid() && Line.text() == Opened.toString();
    }
    bool Accepts(const QModelIndex& Index, const QString& Text) const
    {
        const auto& Column = FGrid.GridModel().Column(Index.column());
        if (Column.Kind == TChartGridModel::ckText)
            return true;
        double Value = 0;
        return Column.List && Column.List->DateTime() ? ReadCellDateTime(Text, Value) : ReadCellNumber(Text, Value);
    }

    TChartGrid& FGrid;
};

// The column header: with two bands, the series' legend symbol and title
// over its first column on top and the list names below.
class TChartGridHeader : public QHeaderView {
public:
    TChartGridHeader(TChartGrid& Grid) : QHeaderView(Qt::Horizontal, &Grid), FGrid(Grid) {}

    QSize sizeHint() const override
    {
        QSize Size = QHeaderView::sizeHint();
        Size.setHeight(HeaderBandHeight * (FGrid.ShowFields() ? 2 : 1));
        return Size;
    }

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int Section) const override
    {
        const auto& Model = FGrid.GridModel();
        const bool TwoBands = FGrid.ShowFields();
        const QRect Top(Rect.left(), Rect.top(), Rect.width(), HeaderBandHeight);
        const QRect Bottom = TwoBands ? Rect.adjusted(0, HeaderBandHeight, 0, 0) : Rect;
        Painter->save();
        Painter->fillRect(Rect, palette().button());
        Painter->setPen(palette().mid().color());
        Painter->drawRect(Rect.adjusted(0, 0, -1, -1));
        if (TwoBands)
            Painter->drawLine(Rect.left(), Top.bottom(), Rect.right(), Top.bottom());
        Painter->setPen(palette().buttonText().color());
        const auto& Column = Model.Column(Section);
        const bool Titles = TwoBands || (!FGrid.Series() && !FGrid.Grid3DMode());
        if (Titles && Column.FirstOfSeries && Column.Series)
            PaintTitle(*Painter, TwoBands ? Top : Rect, *Column.Series);
        if (TwoBands || !Titles || !Column.Series)
            Painter->drawText(Bottom.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                              Model.headerData(Section, Qt::Horizontal, Qt::DisplayRole).toString());
        Painter->restore();
    }

private:
    void PaintTitle(QPainter& Painter, const QRect& Band, TChartSeries& Series) const
    {
        const int Side = Band.height() - 8;
        QImage Symbol(Side, Side, QImage::Format_RGB32);
        Symbol.fill(palette().button().color());
        {
            TPainterDC Dc(Symbol);
            TCanvas Canvas(&Dc);
            PaintSeriesLegend(&Series, &Canvas, {0, 0, Side, Side}, qobject_cast<TCustomChart*>(Series.ParentChart()));
            Dc.Finish();
        }
        Painter.drawImage(Band.left() + 3, Band.top() + 4, Symbol);
        QString Title = SeriesTitleOrName(&Series);
        Title.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        Painter.setClipRect(Band.adjusted(0, 0, -1, 0));
        Painter.drawText(Band.adjusted(Side + 6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, Title);
        Painter.setClipping(false);
    }

    TChartGrid& FGrid;
};

} // namespace

// --- TChartGridModel ---------------------------------------------------------------------

TChartGridModel::TChartGridModel(TChartGrid& Grid) : QAbstractTableModel(&Grid), FGrid(Grid) {}

int TChartGridModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : FRows;
}

int TChartGridModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

const TChartGridModel::TColumn& TChartGridModel::Column(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FColumns.size()))
        throw ERangeError("Grid column " + std::to_string(Index) + " out of range");
    return FColumns[static_cast<size_t>(Index)];
}

TChartSeries* TChartGridModel::ColumnSeries(int Index) const
{
    return Index >= 0 && Index < columnCount() ? FColumns[static_cast<size_t>(Index)].Series : nullptr;
}

void TChartGridModel::Relayout()
{
    beginResetModel();
    FColumns.clear();
    FZValues.clear();
    F3DSeries = nullptr;
    if (FGrid.Grid3DMode())
        Layout3D();
    else
        Layout2D();
    endResetModel();
}

void TChartGridModel::Layout2D()
{
    if (FGrid.ShowColors())
        FColumns.push_back({ckColors});
    if (FGrid.ShowLabels())
        FColumns.push_back({ckText});
    const auto Shown = FGrid.ShownSeries();
    FGrid.FShowX.assign(Shown.size(), false);
    int Points = 0;
    for (size_t i = 0; i < Shown.size(); ++i) {
        TChartSeries* Series = Shown[i];
        const TChartGridShow Show = FGrid.ShowXValues();
        const bool ShowX = Show == cgsYes || (Show == cgsAuto && SeriesHasCustomXValues(*Series));
        FGrid.FShowX[i] = ShowX;
        bool First = true;
        auto Add = [&](TChartValueList* List) {
            FColumns.push_back({ckValue, Series, List, 0, First});
            First = false;
        };
        if (ShowX)
            Add(Series->XValues());
        Add(ShowX ? Series->YValues() : MandatoryList(*Series));
        for (int l = 2; l < Series->ValuesList().Count(); ++l)
            Add(Series->ValuesList()[l]);
        Points = std::max(Points, Series->Count());
        QObject::connect(Series, &QObject::destroyed, &FGrid, &TChartGrid::ShownDestroyed, Qt::UniqueConnection);
    }
    FRows = std::max(Points, 1);
}

void TChartGridModel::Layout3D()
{
    TChartSeries* Source = nullptr;
    for (TChartSeries* Series : FGrid.ShownSeries())
        if (Series->HasZValues()) {
            Source = Series;
            break;
        }
    auto* Grid3D = qobject_cast<TCustom3DSeries*>(Source);
    if (!Grid3D) {
        FRows = 1;
        return;
    }
    F3DSeries = Grid3D;
    QObject::connect(Grid3D, &QObject::destroyed, &FGrid, &TChartGrid::ShownDestroyed, Qt::UniqueConnection);
    std::vector<double> Xs;
    for (int i = 0; i < Grid3D->Count(); ++i) {
        const double X = Grid3D->XValues()->Value(i);
        const double Z = Grid3D->ZValues()->Value(i);
        if (std::find(Xs.begin(), Xs.end(), X) == Xs.end())
            Xs.push_back(X);
        if (std::find(FZValues.begin(), FZValues.end(), Z) == FZValues.end())
            FZValues.push_back(Z);
    }
    for (size_t i = 0; i < Xs.size(); ++i)
        FColumns.push_back({ck3DValue, Grid3D, Grid3D->YValues(), Xs[i], i == 0});
    FRows = std::max<int>(static_cast<int>(FZValues.size()), 1);
}

void TChartGridModel::Forget(QObject* Object)
{
    beginResetModel();
    std::erase_if(FColumns, [Object](const TColumn& C) { return C.Series == Object; });
    if (F3DSeries == Object) {
        F3DSeries = nullptr;
        FColumns.clear();
        FZValues.clear();
        FRows = 1;
    }
    endResetModel();
}

void TChartGridModel::SetRowCount(int Count)
{
    Count = std::max(Count, 1);
    if (Count > FRows) {
        beginInsertRows({}, FRows, Count - 1);
        FRows = Count;
        endInsertRows();
    } else if (Count < FRows) {
        beginRemoveRows({}, Count, FRows - 1);
        FRows = Count;
        endRemoveRows();
    }
}

int TChartGridModel::PointAt3D(int Row, int ColumnIndex) const
{
    if (!F3DSeries || Row < 0 || Row >= static_cast<int>(FZValues.size()))
        return -1;
    const double X = Column(ColumnIndex).X;
    const double Z = FZValues[static_cast<size_t>(Row)];
    auto* Grid3D = static_cast<TCustom3DSeries*>(F3DSeries);
    for (int i = 0; i < Grid3D->Count(); ++i)
        if (Grid3D->XValues()->Value(i) == X && Grid3D->ZValues()->Value(i) == Z)
            return i;
    return -1;
}

QString TChartGridModel::CellText(int Row, int ColumnIndex) const
{
    const TColumn& C = Column(ColumnIndex);
    switch (C.Kind) {
    case ckColors:
        return {};
    case ckText: {
        const auto Shown = FGrid.ShownSeries();
        for (TChartSeries* Series : Shown)
            if (Row < Series->Labels().Count())
                return Series->Labels().GetLabel(Row);
        return {};
    }
    case ckValue:
        return Row < C.Series->Count() ? ValueText(*C.Series, *C.List, Row) : QString();
    case ck3DValue: {
        const int Point = PointAt3D(Row, ColumnIndex);
        return Point < 0 ? QString() : ValueText(*C.Series, *C.List, Point);
    }
    }
    return {};
}

QVariant TChartGridModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid())
        return {};
    const TColumn& C = Column(Index.column());
    if (Role == Qt::DisplayRole || Role == Qt::EditRole)
        return CellText(Index.row(), Index.column());
    if (Role == Qt::BackgroundRole && C.Kind == ckColors) {
        TChartSeries* Series = FGrid.RowKeySeriesFor(Index.column());
        if (Series && Index.row() < Series->Count() && !Series->IsNull(Index.row()))
            return ToQColor(ColorToRGB(Series->GetValueColor(Index.row())));
    }
    if (Role == Qt::TextAlignmentRole && C.Kind != ckText)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TChartGridModel::flags(const QModelIndex& Index) const
{
    if (!Index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags Flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Column(Index.column()).Kind != ckColors && !FGrid.ShownSeries().empty())
        Flags |= Qt::ItemIsEditable;
    return Flags;
}

QVariant TChartGridModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    if (Orientation == Qt::Vertical) {
        if (F3DSeries && Section < static_cast<int>(FZValues.size()))
            return QString::number(std::llround(FZValues[static_cast<size_t>(Section)]));
        return QString::number(Section);
    }
    if (Section < 0 || Section >= columnCount())
        return {};
    const TColumn& C = FColumns[static_cast<size_t>(Section)];
    switch (C.Kind) {
    case ckColors:
        return PlotMsg_StyleColors;
    case ckText:
        return PlotMsg_Text;
    case ckValue:
        return C.List->Name();
    case ck3DValue:
        return FormatFloat(C.Series->ValueFormat(), C.X);
    }
    return {};
}

bool TChartGridModel::setData(const QModelIndex& Index, const QVariant& Value, int Role)
{
    if (!Index.isValid() || Role != Qt::EditRole)
        return false;
    const bool Was = FGrid.FStoring;
    FGrid.FStoring = true;
    // Called from the view's event handling: a series that refuses the
    // value ends the edit with its message.
    bool Stored = false;
    RunUserChange([&] { Stored = StoreText(Index.row(), Index.column(), Value.toString()); });
    FGrid.FStoring = Was;
    if (!Stored)
        return false;
    Q_EMIT dataChanged(index(Index.row(), 0), index(Index.row(), columnCount() - 1));
    if (FGrid.OnSetEditText)
        FGrid.OnSetEditText(Index.column(), Index.row());
    return true;
}

bool TChartGridModel::StoreText(int Row, int ColumnIndex, const QString& Text)
{
    const auto Shown = FGrid.ShownSeries();
    if (Shown.empty())
        return false;
    const TColumn& C = Column(ColumnIndex);
    if (C.Kind == ckText) {
        for (TChartSeries* Series : Shown) {
            while (Series->Count() < Row + 1)
                Series->AddNull();
            Series->Labels().SetLabel(Row, Text);
            Series->SetManualData(true);
            Series->Repaint();
        }
        return true;
    }
    if (C.Kind == ckColors || Text.trimmed().isEmpty())
        return false;
    double Value = 0;
    if (!(C.List->DateTime() ? ReadCellDateTime(Text, Value) : ReadCellNumber(Text, Value)))
        return false;
    TChartSeries* Series = C.Series;
    int Point = Row;
    if (C.Kind == ck3DValue) {
        Point = PointAt3D(Row, ColumnIndex);
        if (Point < 0)
            return false; // no point at that (X, Z) to hold the value
    }
    while (Series->Count() < Point + 1)
        Series->AddNull();
    C.List->SetValue(Point, Value);
    if (Series->IsNull(Point))
        Series->SetValueColor(Point, clPlotColor);
    Series->SetManualData(true);
    Series->RefreshSeries();
    Series->Repaint();
    if (C.Kind == ckValue && Series->Count() > FRows)
        SetRowCount(Series->Count());
    return true;
}

// --- TChartGrid --------------------------------------------------------------------------

TChartGrid::TChartGrid(QWidget* Parent)
    : QTableView(Parent), FModel(new TChartGridModel(*this))
{
    setHorizontalHeader(new TChartGridHeader(*this));
    setModel(FModel);
    setItemDelegate(new TChartGridDelegate(*this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultSectionSize(16 + 2);
    verticalHeader()->setFixedWidth(PointNumberWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    Relayout();
}

TChartGrid::~TChartGrid()
{
    if (FListened)
        FListened->RemoveListener(this);
}

std::vector<TChartSeries*> TChartGrid::ShownSeries() const
{
    std::vector<TChartSeries*> Shown;
    if (FSeries)
        Shown.push_back(FSeries.data());
    else if (FChart)
        for (int i = 0; i < FChart->SeriesCount(); ++i)
            Shown.push_back(FChart->Series(i));
    return Shown;
}

int TChartGrid::MostPoints() const
{
    int Points = 0;
    for (TChartSeries* Series : ShownSeries())
        Points = std::max(Points, Series->Count());
    return Points;
}

bool TChartGrid::ShowsXColumn(int ShownIndex) const
{
    return ShownIndex >= 0 && ShownIndex < static_cast<int>(FShowX.size()) && FShowX[static_cast<size_t>(ShownIndex)];
}

void TChartGrid::Listen(TCustomPlotPanel* Panel)
{
    if (Panel == FListened.data())
        return;
    if (FListened)
        FListened->RemoveListener(this);
    FListened = Panel;
    if (Panel) {
        Panel->Listeners().Add(this);
        connect(Panel, &QObject::destroyed, this, &TChartGrid::ShownDestroyed, Qt::UniqueConnection);
    }
}

void TChartGrid::ShownDestroyed(QObject* Object)
{
    // The object is half destroyed now: drop its columns at once, lay out
    // again once it is gone from its chart.
    FModel->Forget(Object);
    QMetaObject::invokeMethod(this, [this] { Relayout(); }, Qt::QueuedConnection);
}

void TChartGrid::SetChart(TCustomChart* Value)
{
    FSeries = nullptr;
    FChart = Value;
    Listen(Value);
    Relayout();
}

void TChartGrid::SetSeries(TChartSeries* Value)
{
    FChart = nullptr;
    FSeries = Value;
    Listen(Value ? Value->ParentChart() : nullptr);
    if (Value)
        connect(Value, &QObject::destroyed, this, &TChartGrid::ShownDestroyed, Qt::UniqueConnection);
    Relayout();
}

void TChartGrid::SetShowColors(bool Value)
{
    FShowColors = Value;
    Relayout();
}

void TChartGrid::SetShowLabels(bool Value)
{
    FShowLabels = Value;
    Relayout();
}

void TChartGrid::SetShowXValues(TChartGridShow Value)
{
    FShowXValues = Value;
    Relayout();
}

void TChartGrid::SetShowFields(bool Value)
{
    FShowFields = Value;
    horizontalHeader()->resize(horizontalHeader()->sizeHint());
    Relayout();
}

void TChartGrid::SetGrid3DMode(bool Value)
{
    FGrid3DMode = Value;
    if (Value) {
        FShowLabels = false;
        FShowColors = false;
        FShowFields = false;
    }
    Relayout();
}

void TChartGrid::Relayout()
{
    const QModelIndex Old = currentIndex();
    FModel->Relayout();
    horizontalHeader()->setFixedHeight(HeaderBandHeight * (FShowFields ? 2 : 1));
    // 40 pixels, widened where the font would clip the column's name.
    if (FShowColors && FModel->columnCount() > 1)
        setColumnWidth(0, std::max(ColorsColumnWidth, fontMetrics().horizontalAdvance(PlotMsg_StyleColors) + 8));
    const int Row = std::clamp(Old.isValid() ? Old.row() : 0, 0, FModel->rowCount() - 1);
    const int Column = std::clamp(Old.isValid() ? Old.column() : 0, 0, std::max(FModel->columnCount() - 1, 0));
    if (FModel->columnCount() > 0)
        setCurrentIndex(FModel->index(Row, Column));
    Changed();
}

void TChartGrid::Changed()
{
    if (FNavigator)
        FNavigator->EnableButtons();
}

void TChartGrid::PlotEvent(TPlotEvent& Event)
{
    auto* SeriesEvent = dynamic_cast<TPlotSeriesEvent*>(&Event);
    if (!SeriesEvent || FStoring)
        return;
    if (SeriesEvent->Event == seChangeTitle || SeriesEvent->Event == seChangeColor ||
        SeriesEvent->Event == seChangeActive) {
        viewport()->update();
        horizontalHeader()->viewport()->update();
    } else {
        Relayout();
    }
}

TChartSeries* TChartGrid::RowKeySeriesFor(int Column) const
{
    TChartSeries* Series = FModel->ColumnSeries(Column);
    for (int c = Column + 1; !Series && c < FModel->columnCount(); ++c)
        Series = FModel->ColumnSeries(c);
    if (!Series) {
        const auto Shown = ShownSeries();
        if (!Shown.empty())
            Series = Shown.front();
    }
    return Series;
}

TChartSeries* TChartGrid::RowKeySeries() const
{
    return RowKeySeriesFor(std::max(currentIndex().column(), 0));
}

void TChartGrid::AfterDataChange()
{
    for (TChartSeries* Series : ShownSeries()) {
        Series->SetManualData(true);
        Series->Repaint();
    }
    Changed();
}

void TChartGrid::AppendRow()
{
    TChartSeries* Series = RowKeySeries();
    if (!Series || FGrid3DMode || editTriggers() == NoEditTriggers)
        return;
    Series->AddNull();
    FModel->SetRowCount(FModel->rowCount() + 1);
    setCurrentIndex(FModel->index(FModel->rowCount() - 1, std::max(currentIndex().column(), 0)));
    AfterDataChange();
}

bool TChartGrid::RemoveAppendedRow()
{
    const int Row = currentIndex().row();
    TChartSeries* Series = RowKeySeries();
    if (!Series || Row != FModel->rowCount() - 1 || Row >= Series->Count() || !Series->IsNull(Row) ||
        (Row < Series->Labels().Count() && !Series->Labels().GetLabel(Row).isEmpty()))
        return false;
    Series->Delete(Row);
    FModel->SetRowCount(MostPoints());
    setCurrentIndex(FModel->index(std::min(Row - 1, FModel->rowCount() - 1), std::max(currentIndex().column(), 0)));
    AfterDataChange();
    return true;
}

void TChartGrid::InsertRow()
{
    if (editTriggers() == NoEditTriggers || FGrid3DMode)
        return;
    // Every shown series gets a null point at the X of its next point; the
    // rows follow the longest series.
    for (TChartSeries* Series : ShownSeries())
        Series->AddNullXY(Series->Count(), 0);
    FModel->SetRowCount(MostPoints());
    setCurrentIndex(FModel->index(FModel->rowCount() - 1, std::max(currentIndex().column(), 0)));
    AfterDataChange();
}

void TChartGrid::DeleteRow()
{
    if (editTriggers() == NoEditTriggers || IsEditing() || FGrid3DMode)
        return;
    const int Row = currentIndex().row();
    bool Deleted = false;
    for (TChartSeries* Series : ShownSeries())
        if (Row >= 0 && Row < Series->Count()) {
            Series->Delete(Row);
            Deleted = true;
        }
    if (!Deleted)
        return;
    if (FModel->rowCount() > 1)
        FModel->SetRowCount(FModel->rowCount() - 1);
    else
        viewport()->update();
    AfterDataChange();
}

void TChartGrid::EditCurrent()
{
    const QModelIndex Index = currentIndex();
    if (IsEditing() || !Index.isValid())
        return;
    TChartSeries* Series = FModel->ColumnSeries(Index.column());
    if (Series && Series->DataSource() && !FEditSourcedSeries)
        return;
    edit(Index, EditKeyPressed, nullptr);
    Changed();
}

void TChartGrid::PostEdit()
{
    if (auto* Editor = indexWidget(currentIndex()); Editor && IsEditing()) {
        commitData(Editor);
        closeEditor(Editor, QAbstractItemDelegate::NoHint);
    } else if (IsEditing()) {
        QWidget* Focus = QApplication::focusWidget();
        if (Focus && Focus->parentWidget() == viewport()) {
            commitData(Focus);
            closeEditor(Focus, QAbstractItemDelegate::NoHint);
        }
    }
    Changed();
}

void TChartGrid::CancelEdit()
{
    QWidget* Focus = QApplication::focusWidget();
    if (IsEditing() && Focus && Focus->parentWidget() == viewport())
        closeEditor(Focus, QAbstractItemDelegate::RevertModelCache);
    Changed();
}

bool TChartGrid::edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event)
{
    if (!Index.isValid() || FModel->Column(Index.column()).Kind == TChartGridModel::ckColors)
        return false;
    if (Trigger != NoEditTriggers && Trigger != CurrentChanged && OnEditingCell) {
        bool Allow = true;
        OnEditingCell(Index.column(), Index.row(), Allow);
        if (!Allow)
            return false;
    }
    const bool Opened = QTableView::edit(Index, Trigger, Event);
    if (Opened) {
        TChartSeries* Series = FModel->ColumnSeries(Index.column());
        FNewPoint = Series && (Index.row() >= Series->Count() || Series->IsNull(Index.row()));
        FSavedText = FNewPoint ? QString() : FModel->CellText(Index.row(), Index.column());
        Changed();
    }
    return Opened;
}

void TChartGrid::closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint)
{
    QTableView::closeEditor(Editor, Hint);
    Changed();
}

void TChartGrid::currentChanged(const QModelIndex& Current, const QModelIndex& Previous)
{
    QTableView::currentChanged(Current, Previous);
    Changed();
}

void TChartGrid::EditPointColor()
{
    const int Row = currentIndex().row();
    TChartSeries* Series = RowKeySeries();
    if (!Series || Row < 0 || editTriggers() == NoEditTriggers)
        return;
    TColor Color = Row < Series->Count() ? Series->GetValueColor(Row) : clPlotColor;
    if (!EditColorDialog(this, Color))
        return;
    while (Series->Count() < Row + 1)
        Series->AddNull();
    Series->SetValueColor(Row, Color);
    viewport()->update();
    AfterDataChange();
    if (OnChangeColor)
        OnChangeColor();
}

void TChartGrid::mouseDoubleClickEvent(QMouseEvent* Event)
{
    const QModelIndex Index = indexAt(Event->position().toPoint());
    if (Index.isValid() && FModel->Column(Index.column()).Kind == TChartGridModel::ckColors) {
        setCurrentIndex(Index);
        EditPointColor();
        return;
    }
    QTableView::mouseDoubleClickEvent(Event);
}

void TChartGrid::keyPressEvent(QKeyEvent* Event)
{
    if (Event->modifiers() & Qt::ControlModifier) {
        QTableView::keyPressEvent(Event);
        return;
    }
    const QModelIndex Index = currentIndex();
    const bool LastRow = Index.isValid() && Index.row() == FModel->rowCount() - 1;
    const bool OnColors =
        Index.isValid() && FModel->columnCount() > 0 && FModel->Column(Index.column()).Kind == TChartGridModel::ckColors;
    try {
        switch (Event->key()) {
        case Qt::Key_Down:
            if (LastRow && !FGrid3DMode && !ShownSeries().empty()) {
                AppendRow();
                return;
            }
            break;
        case Qt::Key_Up:
            if (LastRow && RemoveAppendedRow())
                return;
            break;
        case Qt::Key_Insert:
            InsertRow();
            return;
        case Qt::Key_Delete:
            DeleteRow();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (OnColors) {
                EditPointColor();
                return;
            }
            break;
        default:
            break;
        }
    } catch (const std::exception& Error) {
        TApplication::Instance().HandleException(Error);
        return;
    }
    QTableView::keyPressEvent(Event);
}

// --- TChartGridNavigator -----------------------------------------------------------------

TChartGridNavigator::TChartGridNavigator(QWidget* Parent) : TCustomPlotNavigator(Parent)
{
    for (int Kind = nbInsert; Kind <= nbCancel; ++Kind)
        Button(Kind)->setVisible(true);
    ArrangeButtons();
}

void TChartGridNavigator::SetGrid(TChartGrid* Value)
{
    if (FGrid)
        FGrid->FNavigator = nullptr;
    FGrid = Value;
    if (Value)
        Value->FNavigator = this;
    EnableButtons();
}

void TChartGridNavigator::EnableButtons()
{
    TChartGrid* G = FGrid.data();
    const int Row = G ? G->currentIndex().row() : -1;
    const int Last = G ? G->GridModel().rowCount() - 1 : -1;
    const bool Editing = G && G->IsEditing();
    bool HasPoints = false;
    if (G)
        for (TChartSeries* Series : G->ShownSeries())
            HasPoints = HasPoints || Series->Count() > 0;
    // A grid without edit triggers is read-only, whatever it shows.
    const bool CanInsert = G && G->editTriggers() != QAbstractItemView::NoEditTriggers &&
                           ((!Editing && G->Chart() && G->Chart()->SeriesCount() > 0) || G->Series());
    Button(nbFirst)->setEnabled(G && Row > 0);
    Button(nbPrior)->setEnabled(G && Row > 0);
    Button(nbNext)->setEnabled(G && Row >= 0 && Row < Last);
    Button(nbLast)->setEnabled(G && Row >= 0 && Row < Last);
    Button(nbInsert)->setEnabled(CanInsert);
    Button(nbDelete)->setEnabled(G && G->GridModel().rowCount() > 1 && CanInsert && HasPoints);
    Button(nbEdit)->setEnabled(CanInsert);
    Button(nbPost)->setEnabled(Editing);
    Button(nbCancel)->setEnabled(Editing);
}

void TChartGridNavigator::BtnClick(TPlotNavigateBtn Kind)
{
    if (TChartGrid* G = FGrid.data()) {
        const int Row = G->currentIndex().row();
        const int Column = std::max(G->currentIndex().column(), 0);
        const int Last = G->GridModel().rowCount() - 1;
        auto GoTo = [&](int NewRow) { G->setCurrentIndex(G->GridModel().index(NewRow, Column)); };
        switch (Kind) {
        case nbFirst:
            if (Row > 0)
                GoTo(0);
            break;
        case nbPrior:
            if (Row > 0)
                GoTo(Row - 1);
            break;
        case nbNext:
            if (Row < Last)
                GoTo(Row + 1);
            break;
        case nbLast:
            if (Row != Last)
                GoTo(Last);
            break;
        case nbInsert:
            G->InsertRow();
            break;
        case nbDelete:
            G->DeleteRow();
            break;
        case nbEdit:
            G->setFocus();
            G->EditCurrent();
            break;
        case nbPost:
            G->PostEdit();
            break;
        case nbCancel:
            G->CancelEdit();
            break;
        }
    }
    TCustomPlotNavigator::BtnClick(Kind);
}

} // namespace lp
