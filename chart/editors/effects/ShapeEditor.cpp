#include "chart/editors/effects/ShapeEditor.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/canvas/PlotShapes.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QShowEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

constexpr int BevelWidthLimit = 100;

// Ends the editor's creating state when one of its tabs, moved to another
// tab widget, is first shown: the editor itself stays hidden there.
class TMovedTabWatcher : public QObject {
public:
    TMovedTabWatcher(TFormPlotShape* Editor) : QObject(Editor), FEditor(Editor) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Show && FEditor->Creating()) {
            QShowEvent show;
            QCoreApplication::sendEvent(FEditor, &show);
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TFormPlotShape* FEditor;
};

} // namespace

TFormPlotShape::TFormPlotShape(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PC1 = TPageBuilder::WideTabs(this, "PC1");
    TabFormat = BuildFormatTab();
    PC1->addTab(TabFormat, QStringLiteral("Format"));
    TabText = TPageBuilder::AddTab(PC1, "TabText", QStringLiteral("Text"));
    TabGradient = TPageBuilder::AddTab(PC1, "TabGradient", QStringLiteral("Gradient"));
    TabShadow = TPageBuilder::AddTab(PC1, "TabShadow", QStringLiteral("Shadow"));
    layout->addWidget(PC1);
    FontEditor = InsertFontEditor(TabText);
    GradientEditor = InsertGradientEditor(TabGradient, nullptr);
    ShadowEditor = InsertShadowEditor(TabShadow);

    Binder().Bind(
        BBackColor, [this]() -> QVariant { return Shape() ? QVariant(Shape()->Color()) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetColor(Value.toInt()); });
    Binder().Bind(
        CBRound, [this]() -> QVariant { return Shape() ? QVariant(Shape()->ShapeStyle() == fosRoundRectangle) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetShapeStyle(Value.toBool() ? fosRoundRectangle : fosRectangle); });
    Binder().Bind(
        CBTransparent, [this]() -> QVariant { return Shape() ? QVariant(Shape()->Transparent()) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetTransparent(Value.toBool()); });
    Binder().Bind(
        CBBevel, [this]() -> QVariant { return Shape() ? QVariant(static_cast<int>(Shape()->Bevel())) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetBevel(static_cast<TBevelCut>(Value.toInt())); });
    Binder().Bind(
        UDBevW, [this]() -> QVariant { return Shape() ? QVariant(Shape()->BevelWidth()) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetBevelWidth(Value.toInt()); });
    Binder().Bind(
        UDShadowTransp, [this]() -> QVariant { return Shape() ? QVariant(Shape()->Transparency()) : QVariant(); },
        [this](const QVariant& Value) { Shape()->SetTransparency(Value.toInt()); });
    connect(Button6, &QPushButton::clicked, this, &TFormPlotShape::PatternClick);
    Button4->OnClick = [this](TButtonPen*) { AfterUserChange(Button4); };
}

QWidget* TFormPlotShape::BuildFormatTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(PC1), "TabFormat");
    TPageBuilder build(*tab);
    BBackColor = build.ColorButton("BBackColor", QStringLiteral("&Color..."));
    Button4 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Frame..."), tab), "Button4");
    Button6 = build.Button("Button6", QStringLiteral("&Pattern..."));
    CBRound = build.CheckBox("CBRound", QStringLiteral("&Round Frame"));
    CBTransparent = build.CheckBox("CBTransparent", QStringLiteral("&Transparent"));
    CBBevel = TPageBuilder::Named(new QComboBox(tab), "CBBevel");
    CBBevel->addItems({QStringLiteral("None"), QStringLiteral("Lowered"), QStringLiteral("Raised")});
    UDBevW = build.SpinBox("UDBevW", 1, BevelWidthLimit);
    UDBevW->setValue(1);
    UDShadowTransp = build.SpinBox("UDShadowTransp", 0, 100);

    build.Line({BBackColor, Button4, Button6});
    build.Line({CBRound, CBTransparent});
    build.Row(QStringLiteral("&Bevel:"), CBBevel, "Label1");
    build.Row(QStringLiteral("Siz&e:"), UDBevW, "Label2");
    build.Row(QStringLiteral("&Transparency:"), UDShadowTransp, "Label3");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

TPlotCustomShape* TFormPlotShape::Shape() const
{
    return TargetAs<TPlotCustomShape>();
}

void TFormPlotShape::FillControls()
{
    TPlotCustomShape* shape = Shape();
    if (!shape)
        return;
    Button4->LinkPen(shape->Pen());
    GradientEditor->BindGradient(shape->Gradient());
    RefreshFontEditor(FontEditor, shape->Font());
    RefreshShadowEditor(ShadowEditor, shape->Shadow());
}

void TFormPlotShape::UpdateEnabled()
{
    const bool bevel = Shape() && Shape()->Bevel() != bvNone;
    UDBevW->setEnabled(bevel);
    if (QWidget* label = TabFormat->findChild<QWidget*>(QStringLiteral("Label2")))
        label->setEnabled(bevel);
}

void TFormPlotShape::showEvent(QShowEvent* Event)
{
    if (Creating() && PC1->count() > 0)
        PC1->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

void TFormPlotShape::PatternClick()
{
    if (!CanWrite() || !Shape())
        return;
    if (EditChartBrush(this, *Shape()->Brush()))
        AfterUserChange(Button6);
}

void TFormPlotShape::BColorClick()
{
    CBTransparent->setChecked(false);
}

void TFormPlotShape::CBVisibleChecked(QCheckBox* Sender)
{
    if (Shape() && Sender && CanWrite())
        Shape()->SetVisible(Sender->isChecked());
}

TFormPlotShape* InsertShapeEditor(QWidget* Owner, TPlotCustomShape* Shape, QWidget* Parent)
{
    auto* editor = new TFormPlotShape(Parent ? Parent : Owner);
    if (Parent)
        EmbedEditorPage(editor, Parent);
    editor->SetTarget(Shape);
    return editor;
}

TFormPlotShape* InsertShapeEditorTabs(QTabWidget* PageControl, TPlotCustomShape* Shape)
{
    auto* editor = new TFormPlotShape(PageControl);
    editor->setWindowFlags(Qt::Widget);
    editor->hide();
    auto* watcher = new TMovedTabWatcher(editor);
    while (editor->PC1->count() > 0) {
        const QString caption = editor->PC1->tabText(0);
        QWidget* tab = editor->PC1->widget(0);
        editor->PC1->removeTab(0);
        tab->installEventFilter(watcher);
        PageControl->addTab(tab, caption);
    }
    PageControl->setCurrentIndex(0);
    editor->SetTarget(Shape);
    CallControlHook(editor);
    return editor;
}

} // namespace lp
