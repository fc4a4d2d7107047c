// The mesh chart's pop-up menus: the main menu of the cell area, the menus a
// double click opens beside it, the commands they run and the value
// questions those commands ask.
#include "section/views/Section2D.h"

#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QCursor>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace lp {

namespace {

// Item indices, separators counted.
enum MainItem { miCellSetup, miCellToCursor, miEditMode, miSelection = 4, miMeshOptions, miClearModel = 7 };
// The selection submenu's items before its separator choose tools.
constexpr int siRemove = 5;
enum ViewItem { viMesh, viBorders, viColorBar = 3, viZoom, viPreview };
enum ColorBarItem { cbMinimum, cbMaximum, cbFactor, cbAutomatic, cbLogScale = 5, cbHalfSpace = 7, cbCursor };
enum DepthAxisItem { daMaximum, daRedivide = 2, daThick = 4, daThin };
enum HorizAxisItem { haRedivide, haThick = 2, haThin };

// The tool of each selection item (free form, rectangle, ellipse, wand).
constexpr uint8_t SelectionTools[] = {2, 5, 4, 3};
// The tool of each mesh-options item.
constexpr uint8_t MeshTools[] = {7, 8, 9};

// Items with these captions, each running Click with its index.
std::vector<TMenuItem> MenuItems(std::initializer_list<const char*> Captions, const std::function<void(int)>& Click)
{
    std::vector<TMenuItem> items;
    for (const char* caption : Captions)
        items.push_back({QString::fromLatin1(caption), false, true, Click});
    return items;
}

std::shared_ptr<TPopupMenu> SubMenu(std::initializer_list<const char*> Captions, const std::function<void(int)>& Click)
{
    auto menu = std::make_shared<TPopupMenu>();
    menu->SetItems(MenuItems(Captions, Click));
    return menu;
}

// T(v): the value as the prompts and defaults show it.
QString ShownValue(double V)
{
    return QString::fromStdString(RealToText(0, true, V));
}

// Asks until Accept takes the typed number (it may adjust it) or the text
// shown first comes back, which is also what a cancel answers: then nothing.
// A text that is no number is refused before Accept sees it.
std::optional<double> AskValue(const QString& Caption, const QString& Prompt, const QString& Default,
                               const std::function<bool(double&)>& Accept)
{
    for (;;) {
        const QString text = InputBox(Caption, Prompt, Default);
        if (text == Default)
            return std::nullopt;
        double value = TextToReal(text.toStdString(), true, 0, 0);
        if (value != MissingValue && Accept(value))
            return value;
    }
}

TPoint MouseScreenPosition()
{
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

} // namespace

void TTModelSection2d::CreatePopupMenus()
{
    std::vector<TMenuItem> main = MenuItems({"Display cell setup", "Cell to cursor value", "Edit mode", "-",
                                             "Selection", "Mesh options", "-", "Clear model"},
                                            [this](int i) { MainMenuClick(i); });
    // The submenus run their own handlers.
    main.at(miSelection).OnClick = nullptr;
    main.at(miSelection).SubMenu =
        SubMenu({"Free-form selection", "Rectangular selection", "Elleptical selection", "MagicWand", "-",
                 "Remove selection"},
                [this](int i) { SelectionMenuClick(i); });
    main.at(miMeshOptions).OnClick = nullptr;
    main.at(miMeshOptions).SubMenu = SubMenu({"Add column/row", "Remove column/row", "Resize column/row"},
                                             [this](int i) { MeshOptionsMenuClick(i); });
    MainMenu.SetItems(std::move(main));
    ViewMenu.SetItems(MenuItems({"Display model mesh", "Display objects border", "Setup", "Display color bar",
                                 "Zoom&&Scroll", "Print preview"},
                                [this](int i) { ViewMenuClick(i); }));
    ColorBarMenu.SetItems(MenuItems({"Set minimum", "Set maximum", "Set incremental factor", "Automatic", "-",
                                     "Log scale", "-", "Set half-space value", "Set cursor value"},
                                    [this](int i) { ColorBarMenuClick(i); }));
    DepthAxisMenu.SetItems(MenuItems({"Set maximum", "-", "Redivide", "-", "Thick mesh", "Thin mesh"},
                                     [this](int i) { DepthAxisMenuClick(i); }));
    HorizAxisMenu.SetItems(
        MenuItems({"Redivide", "-", "Thick mesh", "Thin mesh"}, [this](int i) { HorizAxisMenuClick(i); }));
    OnDblClick = [this](TControl* sender) { MeshDblClick(sender); };
    OnMainMenuRequest = [this] { ShowMainMenu(); };
}

// --- Opening the menus ----------------------------------------------------------

void TTModelSection2d::ShowMainMenu()
{
    MainMenu.SetChecked(miEditMode, ToolMode == 1);
    TPopupMenu& selection = *MainMenu.Item(miSelection).SubMenu;
    for (int i = 0; i < static_cast<int>(std::size(SelectionTools)); ++i)
        selection.SetChecked(i, ToolMode == SelectionTools[i]);
    TPopupMenu& meshOptions = *MainMenu.Item(miMeshOptions).SubMenu;
    for (int i = 0; i < static_cast<int>(std::size(MeshTools)); ++i)
        meshOptions.SetChecked(i, ToolMode == MeshTools[i]);
    MainMenu.Popup(MouseScreenPosition());
}

void TTModelSection2d::MeshDblClick(TControl* Sender)
{
    SetMouseCancelled(true);
    if (LastCol < 1 || LastRow < 1)
        return;
    switch (PointerZone) {
    case 0:
        ViewMenu.SetChecked(viMesh, ShowMesh);
        ViewMenu.SetChecked(viBorders, ShowBorders);
        ViewMenu.SetChecked(viColorBar, ShowColorBar);
        ViewMenu.SetChecked(viZoom, AllowZoom());
        ViewMenu.Popup(MouseScreenPosition());
        break;
    case 2: DepthAxisMenu.Popup(MouseScreenPosition()); break;
    case 3: HorizAxisMenu.Popup(MouseScreenPosition()); break;
    case 4:
        ColorBarMenu.SetChecked(cbLogScale, ScaleMode != 0);
        ColorBarMenu.Popup(MouseScreenPosition());
        break;
    default: break;  // the cell area has its menu on the right button
    }
    Dragging = false;
    SetMouseCancelled(true);
}

// --- Main menu ------------------------------------------------------------------

void TTModelSection2d::MainMenuClick(int Index)
{
    if (ReadOnly)
        return;
    switch (Index) {
    case miCellSetup:
        PaintCells();
        RecordUndo(UndoStore);
        break;
    case miCellToCursor:
        if (CursorValue != CellValueAtCursor) {
            CursorValue = CellValueAtCursor;
            DrawCursorMarker(CursorValue);
        }
        break;
    case miEditMode: ToolMode = 1; break;
    case miClearModel:
        // Layer 0 only: the layers above keep what floats over the model.
        for (int c = 0; c <= LastCol; ++c)
            for (int r = 0; r <= LastRow; ++r) {
                Layers[0][c][r] = HalfSpaceValue;
                Fixed[c][r] = false;
                Selected[c][r] = false;
                Limits[c][r] = complexM{};
            }
        RepaintCells();
        RecordUndo(UndoStore);
        // Every cell value changed: the owner learns it as from any edit.
        Fire(OnAfterChangingParameter);
        break;
    default: break;
    }
    Dragging = false;
}

void TTModelSection2d::SelectionMenuClick(int Index)
{
    if (Index >= 0 && Index < static_cast<int>(std::size(SelectionTools)))
        ToolMode = SelectionTools[Index];
    else if (Index == siRemove)
        ClearSelection();
    Dragging = false;
}

void TTModelSection2d::MeshOptionsMenuClick(int Index)
{
    if (Index >= 0 && Index < static_cast<int>(std::size(MeshTools)))
        ToolMode = MeshTools[Index];
    Dragging = false;
}

// --- View menu ------------------------------------------------------------------

void TTModelSection2d::ViewMenuClick(int Index)
{
    // The toggles turn over the state the double click marked.
    const bool checked = ViewMenu.Item(Index).Checked;
    switch (Index) {
    case viMesh: ShowMesh = !checked; break;
    case viBorders: ShowBorders = !checked; break;
    case viColorBar:
        ShowColorBar = !checked;
        RepaintCells();
        break;
    case viZoom:
        // While zooming is allowed the mouse tools are off.
        SetAllowZoom(!AllowZoom());
        SetAllowPanning(AllowZoom() ? pmBoth : pmNone);
        break;
    case viPreview: ShowChartPreview(HandleAllocated() ? Widget() : nullptr, this); break;
    default: break;  // "Setup" has no action
    }
    PaintCells();
    Invalidate();
}

// --- Colour-bar menu ------------------------------------------------------------

void TTModelSection2d::SetScaleByFactor(double Factor)
{
    ScaleMin = HalfSpaceValue / Factor;
    ScaleMax = HalfSpaceValue * Factor;
    ClampValue(ScaleMin);
    ClampValue(ScaleMax);
    SecureScaleLimits();
}

bool TTModelSection2d::SetScaleFromCells()
{
    // The search starts from the first cell that holds a value, so no
    // starting value can stand for the cells (any real may be a cell's).
    std::optional<double> lowest, highest;
    if (Layers.Length() > 0)
        for (const arofdoubleM& column : Layers[0])
            for (double v : column)
                if (std::isfinite(v) && v != MissingValue) {
                    lowest = std::min(lowest.value_or(v), v);
                    highest = std::max(highest.value_or(v), v);
                }
    if (!lowest)
        return false;
    double lo = *lowest, hi = *highest;
    // One value for every cell: a scale around it, never an empty or
    // inverted one.
    if (lo == hi)
        ScaleAroundValue(lo, lo, hi);
    ScaleMin = lo;
    ScaleMax = hi;
    ComputeSymLogConstant();
    return true;
}

void TTModelSection2d::ColorBarMenuClick(int Index)
{
    const auto scaleChanged = [this] {
        RepaintCells();
        Fire(OnAfterChangeCB);
    };
    switch (Index) {
    case cbMinimum:
        // The minimum is not clamped.
        if (const auto v = AskValue("Set minimal value", "Enter value <" + ShownValue(ScaleMax), ShownValue(ScaleMin),
                                    [this](double& v) { return v < ScaleMax; })) {
            ScaleMin = *v;
            scaleChanged();
        }
        break;
    case cbMaximum:
        if (const auto v = AskValue("Set maximal value", "Enter value >" + ShownValue(ScaleMin), ShownValue(ScaleMax),
                                    [this](double& v) {
                                        ClampValue(v);
                                        return v > ScaleMin;
                                    })) {
            ScaleMax = *v;
            scaleChanged();
        }
        break;
    case cbFactor:
        if (const auto f = AskValue("Set value, 1..1000", "Enter incremental factor", "1",
                                    [](double& f) { return f > 1 && f < 1000; })) {
            SetScaleByFactor(*f);
            scaleChanged();
        }
        break;
    case cbAutomatic:
        if (SetScaleFromCells())
            scaleChanged();
        break;
    case cbLogScale:
        if (ScaleMode != 0) {
            ScaleMode = 0;
        } else {
            ScaleMode = 1;
            ComputeSymLogConstant();
        }
        scaleChanged();
        break;
    case cbHalfSpace: {
        if (ReadOnly)
            break;
        const QString range = ShownValue(MinCellValue) + ".." + ShownValue(MaxCellValue);
        if (const auto v = AskValue("Set half-space value", "Enter value " + range, ShownValue(HalfSpaceValue),
                                    [](double& v) { return v >= MinCellValue && v < MaxCellValue; })) {
            SetHalfSpaceValue(*v);
            RepaintCells();
            RecordUndo(UndoStore);
            Fire(OnAfterChangeCB);
        }
        break;
    }
    case cbCursor: {
        if (ReadOnly)
            break;
        const QString range = ShownValue(ScaleMin) + ".." + ShownValue(ScaleMax);
        if (const auto v = AskValue("Set cursor value", "Enter value " + range, ShownValue(CursorValue),
                                    [this](double& v) { return v >= ScaleMin && v < ScaleMax; })) {
            CursorValue = *v;
            // The bar with its marker is drawn by every paint; the marker
            // fires OnAfterChangeCB.
            DrawCursorMarker(CursorValue);
        }
        break;
    }
    default: break;
    }
}

// --- Axis menus -----------------------------------------------------------------

void TTModelSection2d::UpdateExtentSeries()
{
    ExtentSeries->Clear();
    ExtentSeries->AddXY(ModelLeft, ModelTop);
    ExtentSeries->AddXY(ModelRight, ModelBottom);
    Invalidate();
}

void TTModelSection2d::AskMaxDepth()
{
    const int n = RowBounds.Length();
    const double above = RowBounds[n - 2];
    // The last row keeps a thickness: a depth equal to the boundary above is
    // refused as any shallower one.
    const auto depth = AskValue("Set max depth", "Enter value >" + ShownValue(above), ShownValue(RowBounds[n - 1]),
                                [above](double& v) { return v > above; });
    if (!depth)
        return;
    arofdoubleM bounds = RowBounds;
    bounds[n - 1] = *depth;
    ModelBottom = *depth + MaxReliefShift;
    ModelDepth = ModelBottom - ModelTop;
    UpdateExtentSeries();
    SetRowBounds(0, &bounds);
    UpdateReliefShift();
    RepaintCells();
    RecordUndo(UndoStore);
}

void TTModelSection2d::DepthAxisMenuClick(int Index)
{
    // The commands need a mesh: at least one row between two boundaries.
    if (ReadOnly || LastRow < 0 || LastCol < 0)
        return;
    switch (Index) {
    case daMaximum: AskMaxDepth(); break;
    case daRedivide:
        SetRowBounds(RowBounds.Length(), nullptr);
        RepaintCells();
        RecordUndo(UndoStore);
        break;
    case daThick:
        ThickenRows();
        RecordUndo(UndoStore);
        break;
    case daThin:
        ThinRows();
        RecordUndo(UndoStore);
        break;
    default: break;
    }
    Dragging = false;
}

void TTModelSection2d::HorizAxisMenuClick(int Index)
{
    if (ReadOnly || LastRow < 0 || LastCol < 0)
        return;
    switch (Index) {
    case haRedivide:
        // Evenly between the anchored boundaries.
        SetColBounds(ColBounds.Length(), nullptr);
        UpdateReliefShift();
        RepaintCells();
        RecordUndo(UndoStore);
        break;
    case haThick:
        ThickenColumns();
        RecordUndo(UndoStore);
        break;
    case haThin:
        ThinColumns();
        RecordUndo(UndoStore);
        break;
    default: break;
    }
    Dragging = false;
}

} // namespace lp
