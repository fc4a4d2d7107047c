#include "chart/editors/PlotEditorButtons.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterDC.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QEnterEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QStylePainter>
#include <QtGui/QPainter>

namespace lp {

namespace {

// Runs Draw with a chart canvas bound to the widget for one unbuffered pass.
template <class Draw>
void DrawOnWidget(QWidget& Widget, Draw&& DrawWith)
{
    TPainterDC dc(Widget, DT_RASDISPLAY);
    TCanvas canvas(&dc);
    TPlotCanvas3D plot;
    plot.SetBufferedDisplay(false);
    const TRect bounds{0, 0, Widget.width(), Widget.height()};
    plot.InitWindow(&canvas, nullptr, clBtnFace, false, bounds);
    plot.ResetState();
    DrawWith(plot);
}

class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    TOwnerDrawDelegate(TDrawItemEvent DrawItem, int ItemHeight, QObject* Parent)
        : QStyledItemDelegate(Parent), FDrawItem(std::move(DrawItem)), FItemHeight(ItemHeight)
    {
    }
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const bool selected = Option.state & QStyle::State_Selected;
        Painter->drawImage(Option.rect.topLeft(),
                           DrawItemImage(FDrawItem, Option.rect.width(), Option.rect.height(), Index.row(), selected));
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QSize base = QStyledItemDelegate::sizeHint(Option, Index);
        return {base.width() + 34, std::max(FItemHeight, Option.fontMetrics.height() + 2)};
    }

private:
    TDrawItemEvent FDrawItem;
    int FItemHeight;
};

} // namespace

QImage DrawItemImage(const TDrawItemEvent& DrawItem, int Width, int Height, int Index, bool Selected)
{
    QImage image(std::max(Width, 1), std::max(Height, 1), QImage::Format_RGB32);
    TPainterDC dc(image);
    TCanvas canvas(&dc);
    const QFont font = QApplication::font();
    canvas.Font().SetName(font.family());
    canvas.Font().SetSize(font.pointSize() > 0 ? font.pointSize() : 9);
    DrawItem(canvas, {0, 0, Width, Height}, Index, ColorToRGB(Selected ? clHighlight : clWindow));
    dc.Finish();
    return image;
}

void DrawItemText(TCanvas& Canvas, int X, int Y, const QString& Text, TColor Background)
{
    const bool selected = Background == ColorToRGB(clHighlight);
    Canvas.Brush().SetStyle(TBrush::bsClear);
    Canvas.Handle().SetBkMode(TRANSPARENT);
    Canvas.Font().SetColor(ReadableTextColor(Background, ColorToRGB(selected ? clHighlightText : clWindowText)));
    Canvas.TextOut(X, Y, Text);
}

void SetOwnerDrawnItems(QAbstractItemView& View, TDrawItemEvent DrawItem, int ItemHeight)
{
    View.setItemDelegate(new TOwnerDrawDelegate(std::move(DrawItem), ItemHeight, &View));
}

// --- TPlotButton -----------------------------------------------------------------------------

TPlotButton::TPlotButton(const QString& Caption, QWidget* Parent) : QPushButton(Caption, Parent)
{
    resize(75, 25);
}

void TPlotButton::LinkProperty(QObject* Instance, const QString& PropName)
{
    FInstance = Instance;
    FProperty = QMetaProperty();
    if (Instance && !PropName.isEmpty()) {
        const QMetaObject* meta = Instance->metaObject();
        const int index = meta->indexOfProperty(PropName.toLatin1().constData());
        if (index >= 0)
            FProperty = meta->property(index);
    }
    update();
}

TRect TPlotButton::GetSymbolRect() const
{
    const int q = height() / 4;
    return {width() - 19, height() - 3 * q, width() - 6, height() - q};
}

void TPlotButton::DrawSymbol(TPlotCanvas&) {}

QImage TPlotButton::Snapshot()
{
    return grab().toImage();
}

void TPlotButton::paintEvent(QPaintEvent* Event)
{
    QPushButton::paintEvent(Event);
    DrawOnWidget(*this, [this](TPlotCanvas& plot) { DrawSymbol(plot); });
}

void TPlotButton::changeEvent(QEvent* Event)
{
    QPushButton::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        repaint();
}

// --- TButtonColor ----------------------------------------------------------------------------

TButtonColor::TButtonColor(const QString& Caption, QWidget* Parent) : TPlotButton(Caption, Parent)
{
    connect(this, &QPushButton::clicked, this, [this] { EditColorClick(); });
}

TColor TButtonColor::Color() const
{
    if (OnGetColor)
        return OnGetColor();
    if (LinkedObject() && LinkedProperty().isValid())
        return ColorToRGB(static_cast<TColor>(LinkedProperty().read(LinkedObject()).toInt()));
    return FColor;
}

void TButtonColor::SetColor(TColor Value)
{
    if (LinkedObject() && LinkedProperty().isValid())
        LinkedProperty().write(LinkedObject(), static_cast<int>(Value));
    else
        FColor = Value;
}

void TButtonColor::DrawSymbol(TPlotCanvas& Canvas)
{
    const TColor color = Color();
    if (color == clNone)
        return;
    Canvas.Brush()->SetColor(color);
    Canvas.Brush()->SetStyle(TBrush::bsSolid);
    if (!isEnabled())
        Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.RectangleRect(GetSymbolRect());
}

void TButtonColor::EditColorClick()
{
    TColor color = Color();
    if (!EditColorDialog(this, color))
        return;
    SetColor(color);
    repaint();
    if (OnClick)
        OnClick(this);
}

// --- TColorSwatch -----------------------------------------------------------------------------

TColorSwatch::TColorSwatch(QWidget* Parent) : QWidget(Parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetColor(TColor Value)
{
    FColor = Value;
    update();
}

void TColorSwatch::EditColorClick()
{
    TColor color = FColor;
    if (!EditColorDialog(this, color))
        return;
    SetColor(color);
    if (OnChange)
        OnChange(this);
}

void TColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    const QColor frame = palette().color(QPalette::WindowText);
    painter.setPen(QPen(frame));
    if (FColor == clNone) {
        // Nothing is drawn in this colour: the swatch is crossed out.
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRect(box);
        painter.drawLine(box.bottomLeft(), box.topRight());
    } else {
        painter.setBrush(ToQColor(ColorToRGB(FColor)));
        painter.drawRect(box);
    }
    if (hasFocus()) {
        // A dotted ring inside the frame shows the focus.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(box.adjusted(2, 2, -2, -2));
    }
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        EditColorClick();
}

void TColorSwatch::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Space && Event->modifiers() == Qt::NoModifier)
        EditColorClick();
    else
        QWidget::keyPressEvent(Event);
}

// --- TComboFlat -------------------------------------------------------------------------------

TComboFlat::TComboFlat(QWidget* Parent) : QComboBox(Parent)
{
    setEditable(false);
    setFixedHeight(21);
}

int TComboFlat::DropDownWidth() const
{
    return std::max(view()->minimumWidth(), width());
}

void TComboFlat::SetDropDownWidth(int Value)
{
    view()->setMinimumWidth(Value);
}

void DrawFlatComboFrame(TCanvas& Canvas, const TRect& Client, int ButtonWidth)
{
    Canvas.Pen().SetColor(clBtnFace);
    Canvas.Pen().SetStyle(TPen::psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Brush().SetStyle(TBrush::bsClear);
    TRect r = Client;
    Canvas.Rectangle(r);
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    Canvas.Rectangle(r);
    Canvas.Pen().SetColor(clWindow);
    const TRect button{r.Right - ButtonWidth - 2, r.Top + 1, r.Right, r.Bottom - 1};
    Canvas.Rectangle(button);
    Canvas.MoveTo(r.Right - 2, r.Top);
    Canvas.LineTo(r.Right - 2, r.Bottom);
}

void TComboFlat::SetDrawItem(TDrawItemEvent DrawItem, int ItemHeight)
{
    FDrawItem = DrawItem;
    SetOwnerDrawnItems(*view(), std::move(DrawItem), ItemHeight);
    update();
}

void TComboFlat::paintEvent(QPaintEvent* Event)
{
    if (FDrawItem) {
        // The frame and arrow of the style, then the current item drawn into
        // the edit field.
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        if (currentIndex() >= 0 && field.isValid())
            painter.drawImage(field.topLeft(),
                              DrawItemImage(FDrawItem, field.width(), field.height(), currentIndex(), false));
    } else {
        QComboBox::paintEvent(Event);
    }
    if (FMouseInside || hasFocus())
        return;
    TPainterDC dc(*this, DT_RASDISPLAY);
    TCanvas canvas(&dc);
    DrawFlatComboFrame(canvas, {0, 0, width(), height()}, style()->pixelMetric(QStyle::PM_TitleBarButtonSize));
}

void TComboFlat::enterEvent(QEnterEvent* Event)
{
    QComboBox::enterEvent(Event);
    FMouseInside = true;
    update();
}

void TComboFlat::leaveEvent(QEvent* Event)
{
    QComboBox::leaveEvent(Event);
    FMouseInside = false;
    update();
}

void TComboFlat::focusInEvent(QFocusEvent* Event)
{
    QComboBox::focusInEvent(Event);
    FMouseInside = false;
    update();
}

void TComboFlat::focusOutEvent(QFocusEvent* Event)
{
    QComboBox::focusOutEvent(Event);
    FMouseInside = false;
    update();
}

// --- The colour dialog ------------------------------------------------------------------------

QStringList& ColorDialogCustomColors()
{
    static QStringList customColors;
    return customColors;
}

TColor EditColor(QWidget* Owner, TColor Color, const QString& Name)
{
    TColorDialogRequest request;
    request.Owner = Owner;
    request.Name = Name;
    request.Color = Color;
    QStringList& customColors = ColorDialogCustomColors();
    // The transparent-hatch marker is always the first custom colour.
    SetCustomColor(customColors, QLatin1Char('A'), 0xC0C0C1);
    request.CustomColors = customColors;
    if (!ExecuteColorDialog(request))
        return Color;
    customColors = request.CustomColors;
    return request.Color;
}

bool EditColorDialog(QWidget* Owner, TColor& Color, const QString& Name)
{
    const TColor chosen = EditColor(Owner, Color, Name);
    if (chosen == Color)
        return false;
    Color = chosen;
    return true;
}

} // namespace lp
