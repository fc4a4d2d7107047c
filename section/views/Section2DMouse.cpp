// The mouse handlers of the mesh chart and what they do to the cells: value
// edits, the selection gestures and the lifting and moving of a selection
// through a floating layer.
#include "section/views/Section2D.h"

#include "platform/ui/Application.h"

#include <algorithm>
#include <vector>

namespace lp {

namespace {

// Shift states are compared as whole sets: a key held with the button makes
// another gesture.
bool ShiftIs(TShiftState Shift, TShiftState Wanted)
{
    return Shift == Wanted;
}

const TShiftState LeftOnly{TControl::ssLeft};
const TShiftState RightOnly{TControl::ssRight};
const TShiftState ShiftLeft{TControl::ssShift | TControl::ssLeft};
const TShiftState ShiftRight{TControl::ssShift | TControl::ssRight};
const TShiftState CtrlLeft{TControl::ssCtrl | TControl::ssLeft};
const TShiftState CtrlRight{TControl::ssCtrl | TControl::ssRight};

enum TCellOp { opSet = 0, opRaise = 1, opLower = 2 };

enum TToolMode : uint8_t {
    tmEdit = 1,
    tmFreeForm = 2,
    tmMagicWand = 3,
    tmEllipse = 4,
    tmRectangle = 5,
    tmMoveSelection = 6,
    tmAddBound = 7,
    tmRemoveBound = 8,
    tmResizeBound = 9,
};

} // namespace

// --- Handlers -------------------------------------------------------------------

void TTModelSection2d::MeshMouseMove(TShiftState Shift, int X, int Y)
{
    if (LastCol < 1 || LastRow < 1)
        return;
    // The world under the pointer is read back through the mapping the
    // cells were drawn with.
    const TPoint pixel = ControlToCellPixel(X, Y);
    PointerX = std::clamp(CellPixelToX(pixel.X), std::min(ModelLeft, ModelRight), std::max(ModelLeft, ModelRight));
    PointerZ = std::clamp(CellPixelToZ(pixel.Y), std::min(ModelTop, ModelBottom), std::max(ModelTop, ModelBottom));
    UpdatePointerZone(X, Y);
    const bool toolsActive = !AllowZoom() && !ReadOnly;
    int c = 0, r = 0;
    if (toolsActive) {
        UpdateCellCursor();
        if (CellAt(PointerX, PointerZ, c, r) && (c != CurCol || r != CurRow)) {
            RedrawCell(CurCol, CurRow);
            CurCol = c;
            CurRow = r;
            HighlightCell(c, r);
        }
    }
    // The texts describe the cell now under the pointer, not the one it
    // left.
    UpdateStatusTexts();
    Fire(OnStatusChange);
    if (!toolsActive || PointerZone != 1)
        return;
    DragTool(Shift);
}

void TTModelSection2d::DragTool(TShiftState Shift)
{
    const TPoint cell{CurCol, CurRow};
    switch (ToolMode) {
    case tmAddBound:
    case tmRemoveBound:
        if (!Dragging)
            HitIndex = BoundAtPointer(HitKind, PointerX, PointerZ);
        break;
    case tmResizeBound:
        if (!Dragging)
            HitIndex = BoundAtPointer(HitKind, PointerX, PointerZ);
        else if (HitIndex != -1 && HitKind == 0)
            MoveColBound(HitIndex, PointerX);
        else if (HitIndex != -1 && HitKind == 1)
            MoveRowBound(HitIndex, PointerZ);
        break;
    case tmMoveSelection:
        if (Dragging && cell != SelEnd) {
            SelEnd = cell;
            MoveFloatingCells(SelStart, SelEnd);
        }
        break;
    case tmFreeForm:
        if (Dragging) {
            AddFreeFormPoint(cell);
            SelEnd = cell;
            SelectCells(CurCol, CurRow, SelEnd, SelStart, FreeFormPoints, 0, 3);
        }
        break;
    case tmRectangle:
    case tmEllipse:
        if (Dragging) {
            SelEnd = cell;
            SelectCells(CurCol, CurRow, SelEnd, SelStart, pointarray(), 0, ToolMode == tmRectangle ? 4 : 5);
        }
        break;
    case tmEdit: EditDrag(Shift); break;
    default: break;
    }
}

void TTModelSection2d::EditDrag(TShiftState Shift)
{
    if (CurCol < 0 || CurCol > LastCol || CurRow < 0 || CurRow > LastRow)
        return;
    // Dragging with the right button picks up values; it changes no cell.
    if (PressButton == mbRight && ShiftIs(Shift, RightOnly)) {
        const double value = CellValue(CurCol, CurRow);
        if (value != CursorValue) {
            CursorValue = value;
            DrawCursorMarker(CursorValue);
        }
        return;
    }
    // Only a gesture that started in the cells edits them, so that its
    // release fires the events and records the edit.
    if (!Dragging)
        return;
    const TPoint cell{CurCol, CurRow};
    if (PressButton == mbLeft && ShiftIs(Shift, LeftOnly)) {
        PaintCellValue(CurCol, CurRow, opSet, StepPercent);
        return;
    }
    // A raise or lower takes each cell once as the pointer enters it: the
    // moves inside a cell, the press's among them, do not repeat it.
    if (Selected[CurCol][CurRow] || cell == FEditedCell)
        return;
    if (PressButton == mbLeft && ShiftIs(Shift, ShiftLeft))
        PaintCellValue(CurCol, CurRow, opRaise, StepPercent);
    else if (PressButton == mbRight && ShiftIs(Shift, ShiftRight))
        PaintCellValue(CurCol, CurRow, opLower, StepPercent);
    else
        return;
    FEditedCell = cell;
}

void TTModelSection2d::MeshMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (LastCol < 1 || LastRow < 1 || AllowZoom() || ReadOnly)
        return;
    PressButton = Button;
    if (PointerZone == 1 && !StartGesture(Shift))
        return;
    if (PointerZone == 4 && Button == mbRight) {
        CursorFromBarPixel(Y);
        ToolMode = tmEdit;
    }
    MeshMouseMove(Shift, X, Y);
}

bool TTModelSection2d::StartGesture(TShiftState Shift)
{
    const bool inMesh = CurCol >= 0 && CurCol <= LastCol && CurRow >= 0 && CurRow <= LastRow;
    if (Shift.testFlag(TControl::ssAlt) && Shift.testFlag(TControl::ssRight)) {
        SavedMode = ToolMode;
        Dragging = true;
        ModeOverride = true;
    }
    if (Shift.testFlag(TControl::ssCtrl)) {
        SavedMode = ToolMode;
        ToolMode = tmMoveSelection;
        ModeOverride = true;
    }
    if (ToolMode == tmMoveSelection) {
        if (!inMesh || !Selected[CurCol][CurRow])
            return false;
        Dragging = true;
        if (ShiftIs(Shift, CtrlRight))
            LiftSelection(false, true);
        else if (ShiftIs(Shift, CtrlLeft))
            LiftSelection(true, true);
        else
            Dragging = false;
    }
    if (ShiftIs(Shift, RightOnly)) {
        if (OnMainMenuRequest)
            OnMainMenuRequest();
        return false;
    }
    if (ToolMode == tmResizeBound) {
        HitIndex = BoundAtPointer(HitKind, PointerX, PointerZ);
        if (HitIndex != -1)
            Dragging = true;
    }
    if ((ToolMode == tmAddBound || ToolMode == tmRemoveBound) && ShiftIs(Shift, LeftOnly))
        EditBoundAtPointer();
    if (ToolMode != tmMagicWand)
        WandCurrentTolerance = -1.0;
    const TPoint cell{CurCol, CurRow};
    const bool selectionTool = ToolMode == tmFreeForm || ToolMode == tmRectangle || ToolMode == tmEllipse;
    if (selectionTool && ShiftIs(Shift, LeftOnly)) {
        Dragging = true;
        ClearFreeForm();
        SelStart = cell;
        SelEnd = cell;
        if (ToolMode == tmFreeForm)
            AddFreeFormPoint(SelStart);
    }
    if (ToolMode == tmMagicWand && ShiftIs(Shift, LeftOnly)) {
        Dragging = true;
        if (WandCurrentTolerance == -1.0 || !inMesh || !Selected[CurCol][CurRow])
            WandCurrentTolerance = WandTolerance;
        ClearFreeForm();
        SelectCells(CurCol, CurRow, SelStart, SelStart, pointarray(), WandCurrentTolerance, 0);
    }
    if (ToolMode == tmEdit)
        return StartEdit(Shift, inMesh);
    return true;
}

void TTModelSection2d::EditBoundAtPointer()
{
    HitIndex = BoundAtPointer(HitKind, PointerX, PointerZ);
    if (HitIndex == -1)
        return;
    Dragging = true;
    if (ToolMode == tmAddBound) {
        // The new boundary runs across the one under the pointer.
        if (HitKind == 1)
            InsertColBound(true, PointerX);
        else
            InsertRowBoundAtPointer(true, PointerZ);
    } else if (HitKind == 0) {
        RemoveColBound(HitIndex, true);
    } else {
        RemoveRowBound(HitIndex, true);
    }
    RecordUndo(UndoStore);
}

bool TTModelSection2d::StartEdit(TShiftState Shift, bool InMesh)
{
    if (!InMesh)
        return false;
    Dragging = true;
    FEditedCell = TPoint{CurCol, CurRow};
    const bool selected = Selected[CurCol][CurRow];
    if (ShiftIs(Shift, LeftOnly)) {
        if (selected)
            ApplyToSelection(opSet, CursorValue);
        else
            PaintCellValue(CurCol, CurRow, opSet, StepPercent);
    } else if (ShiftIs(Shift, ShiftLeft) || ShiftIs(Shift, ShiftRight)) {
        const TCellOp op = Shift.testFlag(TControl::ssLeft) ? opRaise : opLower;
        if (selected)
            ApplyToSelection(op, 0);
        else
            PaintCellValue(CurCol, CurRow, op, StepPercent);
    }
    return true;
}

void TTModelSection2d::MeshMouseUp(TMouseButton, TShiftState, int, int)
{
    if (ReadOnly)
        return;
    // The gesture ends here wherever the pointer is: a selection move ends
    // on the last cell it reached.
    if (Dragging) {
        switch (ToolMode) {
        case tmMoveSelection:
            SelEnd = TPoint{CurCol, CurRow};
            MoveFloatingCells(SelStart, SelEnd);
            FlattenLayers();
            PaintCells();
            RecordUndo(UndoStore);
            Fire(OnAfterChangingParameter);
            break;
        case tmEdit:
            Fire(OnAfterChangingParameter);
            RecordUndo(UndoStore);
            break;
        case tmResizeBound:
            Fire(OnChangingGrid);
            RecordUndo(UndoStore);
            break;
        default: break;
        }
    }
    if (ModeOverride) {
        ToolMode = SavedMode;
        ModeOverride = false;
    }
    Dragging = false;
}

void TTModelSection2d::UpdateCellCursor()
{
    if (ReadOnly)
        return;
    if (PointerZone != 1) {
        SetPointerShape(crArrow);
        return;
    }
    static constexpr TCursor shapes[] = {crCross, crHandPoint, crHandPoint, crHandPoint, crHandPoint, crSizeAll};
    if (ToolMode >= tmEdit && ToolMode <= tmMoveSelection)
        SetPointerShape(shapes[ToolMode - tmEdit]);
}

// --- Cell edits -----------------------------------------------------------------

bool TTModelSection2d::PaintCellValue(int C, int R, int Op, int Percent)
{
    double value = 0.0;
    if (Op == opRaise || Op == opLower) {
        value = CellValue(C, R);
        const double step = Percent * value / 100;
        value = Op == opRaise ? value + step : value - step;
    }
    // A set writes the cursor value itself, which is clamped with the cell.
    const bool changed = SetCellValue(C, R, Op == opSet ? CursorValue : value);
    if (changed)
        PaintSingleCell(C, R);
    return changed;
}

void TTModelSection2d::ApplyToSelection(int Op, double Value)
{
    // PaintCellValue repaints every cell it changes.
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r)
            if (Selected[c][r] && CellValue(c, r) != Value)
                PaintCellValue(c, r, Op, StepPercent);
}

// --- Selections -----------------------------------------------------------------

std::vector<std::pair<int, int>> TTModelSection2d::SelectedCells() const
{
    std::vector<std::pair<int, int>> cells;
    for (int c = 0; c <= LastCol && c < Selected.Length(); ++c)
        for (int r = 0; r <= LastRow && r < Selected[c].Length(); ++r)
            if (Selected[c][r])
                cells.emplace_back(c, r);
    return cells;
}

void TTModelSection2d::ClearSelection()
{
    ClearFreeForm();
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r)
            if (Selected[c][r]) {
                Selected[c][r] = 0;
                PaintSingleCell(c, r);
            }
}

void TTModelSection2d::ClearFreeForm()
{
    FreeFormPoints.Clear();
}

bool TTModelSection2d::AddFreeFormPoint(TPoint P)
{
    if (FreeFormPoints.Length() > 0 && FreeFormPoints.Last() == P)
        return false;
    FreeFormPoints.Add(P);
    return true;
}

void TTModelSection2d::LiftSelection(bool Cut, bool AddNewLayer)
{
    SelStart = SelEnd = TPoint{CurCol, CurRow};
    FloatingCells.Clear();
    ararofdoubleM& layer = Layers[CurrentLayer];
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r) {
            if (!Selected[c][r])
                continue;
            FloatingCells.Add(FloatingCell{c, r, layer[c][r]});
            if (Cut) {
                layer[c][r] = HalfSpaceValue;
                PaintSingleCell(c, r);
            }
        }
    if (AddNewLayer)
        AddLayer();
}

void TTModelSection2d::MoveFloatingCells(TPoint& StartCell, TPoint& EndCell)
{
    const int dc = EndCell.X - StartCell.X, dr = EndCell.Y - StartCell.Y;
    const int rows = LastRow + 1;
    const auto inMesh = [&](int c, int r) { return c >= 0 && c <= LastCol && r >= 0 && r <= LastRow; };
    std::vector<bool> isTarget(static_cast<size_t>((LastCol + 1) * rows), false);
    for (const FloatingCell& cell : FloatingCells)
        if (inMesh(cell.Col + dc, cell.Row + dr))
            isTarget[static_cast<size_t>((cell.Col + dc) * rows + cell.Row + dr)] = true;
    ararofdoubleM& layer = Layers[CurrentLayer];
    // What the selection left becomes transparent again.
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r)
            if (Selected[c][r] && !isTarget[static_cast<size_t>(c * rows + r)]) {
                layer[c][r] = HalfSpaceValue;
                Selected[c][r] = 0;
                PaintSingleCell(c, r);
            }
    for (const FloatingCell& cell : FloatingCells) {
        const int c = cell.Col + dc, r = cell.Row + dr;
        if (!inMesh(c, r))
            continue;
        const bool repaint = layer[c][r] != cell.Value || !Selected[c][r];
        layer[c][r] = cell.Value;
        Selected[c][r] = 1;
        if (repaint)
            PaintSingleCell(c, r);
    }
}

} // namespace lp
