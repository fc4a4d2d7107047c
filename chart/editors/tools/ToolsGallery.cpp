#include "chart/editors/tools/ToolsGallery.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterDC.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

#include <memory>

namespace lp {

namespace {

// A tool of the class without owner, to ask what only instances answer
// (its description, its base classes); nullptr for a class that makes none.
std::unique_ptr<TPlotCustomTool> TemporaryTool(const QMetaObject& ToolClass)
{
    std::unique_ptr<TPersistent> made = CreateObject(TPersistent::ClassNameOf(ToolClass));
    if (!qobject_cast<TPlotCustomTool*>(made.get()))
        return nullptr;
    return std::unique_ptr<TPlotCustomTool>(static_cast<TPlotCustomTool*>(made.release()));
}

} // namespace

bool ToolBelongsToTab(const QMetaObject& ToolClass, int Tab)
{
    const bool series = ToolClass.inherits(&TPlotCustomToolSeries::staticMetaObject);
    const bool axis = ToolClass.inherits(&TPlotCustomToolAxis::staticMetaObject);
    switch (Tab) {
    case TPlotToolsGallery::ttSeries:
        return series;
    case TPlotToolsGallery::ttAxis:
        return axis;
    case TPlotToolsGallery::ttOther:
        return !series && !axis;
    default:
        return true;
    }
}

QIcon ClassIcon(const QObject& Object)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        TPainterDC dc(image);
        TCanvas canvas(&dc);
        DrawClassBitmap(canvas, Object, 0, 0);
        dc.Finish();
    }
    return QIcon(QPixmap::fromImage(image));
}

void SetUpToolList(QListWidget* List)
{
    List->setIconSize(QSize(16, 16));
    List->setUniformItemSizes(true);
    List->setStyleSheet(QStringLiteral("QListView::item { height: %1px; }").arg(ToolListItemHeight));
}

TToolsGalleryShowService& ToolsGalleryShowService()
{
    static TToolsGalleryShowService service;
    return service;
}

void ResetToolsGalleryShowService()
{
    ToolsGalleryShowService() = nullptr;
}

TPlotToolsGallery::TPlotToolsGallery(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("PlotToolsGallery"));
    setWindowTitle(QStringLiteral("Chart Tools Gallery"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* tabFrame = new QWidget(this);
    tabFrame->setObjectName(QStringLiteral("TabFrame"));
    TabControl1 = new QTabBar(tabFrame);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setExpanding(false);
    LBTool = new QListWidget(tabFrame);
    LBTool->setObjectName(QStringLiteral("LBTool"));
    SetUpToolList(LBTool);
    LBTool->setSortingEnabled(true);
    auto* tabLayout = new QVBoxLayout(tabFrame);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    tabLayout->addWidget(TabControl1);
    tabLayout->addWidget(LBTool, 1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("P1"));
    BOk = new QPushButton(QStringLiteral("&Add"), bottom);
    BOk->setObjectName(QStringLiteral("BOk"));
    BOk->setDefault(true);
    BOk->setEnabled(false);
    BCan = new QPushButton(QStringLiteral("Cancel"), bottom);
    BCan->setObjectName(QStringLiteral("BCan"));
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BCan);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabFrame, 1);
    layout->addWidget(bottom);
    resize(300, 320);

    connect(TabControl1, &QTabBar::currentChanged, this, [this] { FillTools(); });
    connect(LBTool, &QListWidget::itemClicked, this, [this] { ToolClicked(); });
    connect(LBTool, &QListWidget::currentRowChanged, this, [this] { ToolClicked(); });
    connect(LBTool, &QListWidget::itemDoubleClicked, this, [this] {
        if (SelectedTool())
            done(mrOk);
    });
    connect(BOk, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(BCan, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TPlotToolsGallery::FormShow()
{
    {
        const QSignalBlocker block(TabControl1);
        while (TabControl1->count() > 0)
            TabControl1->removeTab(0);
        TabControl1->addTab(QStringLiteral("Series"));
        TabControl1->addTab(QStringLiteral("Axis"));
        TabControl1->addTab(QStringLiteral("Other"));
        TabControl1->setCurrentIndex(ttSeries);
    }
    FillTools();
    CallControlHook(this);
}

void TPlotToolsGallery::FillTools()
{
    {
        const QSignalBlocker block(LBTool);
        LBTool->clear();
        const int tab = TabControl1->currentIndex();
        for (int i = 0; PlotToolTypes() && i < PlotToolTypes()->Count(); ++i) {
            const QMetaObject* toolClass = PlotToolTypes()->Items(i);
            if (!toolClass || !ToolBelongsToTab(*toolClass, tab))
                continue;
            const std::unique_ptr<TPlotCustomTool> tool = TemporaryTool(*toolClass);
            if (!tool)
                continue;
            auto* item = new QListWidgetItem(ClassIcon(*tool), tool->Description());
            item->setData(Qt::UserRole, QVariant::fromValue(static_cast<const void*>(toolClass)));
            LBTool->addItem(item);
        }
        LBTool->setCurrentRow(-1);
        LBTool->clearSelection();
    }
    BOk->setEnabled(false);
}

void TPlotToolsGallery::ToolClicked()
{
    BOk->setEnabled(SelectedTool() != nullptr);
}

const QMetaObject* TPlotToolsGallery::SelectedTool() const
{
    const QList<QListWidgetItem*> selected = LBTool->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return static_cast<const QMetaObject*>(selected.constFirst()->data(Qt::UserRole).value<const void*>());
}

int TPlotToolsGallery::ShowModal()
{
    FormShow();
    if (const TToolsGalleryShowService service = ToolsGalleryShowService())
        return service(*this);
    return exec();
}

} // namespace lp
