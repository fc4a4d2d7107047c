// The main window's menu bar and mode tool bar, and which of their commands
// a section must be open for.

#include "section/main/MainWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/export/PlotPreview.h"
#include "platform/graphics/Picture.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowGlyphs.h"
#include "section/main/MainWindowRoutines.h"
#include "section/main/PictureSettingsDialog.h"

#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

namespace lp {

QAction* TMainfrm::AddCommand(QMenu* Menu, const QString& Text, std::function<void()> Act)
{
    return Menu->addAction(Text, this, [this, Act = std::move(Act)] {
        EndEditInProgress();
        Act();
    });
}

void TMainfrm::CreateMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Newfromdata1 = AddCommand(file, QStringLiteral("New from &data..."), [this] { AskNewSectionFromData(); });
    Newfromdata1->setObjectName(QStringLiteral("Newfromdata1"));
    AddCommand(file, QStringLiteral("&Open section..."), [this] { AskOpenSection(); })->setShortcut(QKeySequence::Open);
    Savefile1 = AddCommand(file, QStringLiteral("&Save section..."), [this] { AskSaveSection(); });
    Savefile1->setShortcut(QKeySequence::Save);
    Exportmodel1 = AddCommand(file, QStringLiteral("&Export model..."), [this] { AskExportModel(); });
    Removepicture1 = AddCommand(file, QStringLiteral("&Remove picture"), [this] {
        ChartTool1->Picture()->SetGraphic(nullptr);
        PolygonChart1->Invalidate();
    });
    file->addSeparator();
    Ptint1 = AddCommand(file, QStringLiteral("Print pre&view..."), [this] { ChartPreviewer1->Execute(); });
    Ptint1->setObjectName(QStringLiteral("Ptint1"));
    file->addSeparator();
    file->addMenu(Parts->RecentMenu());
    file->addSeparator();
    QAction* exit = AddCommand(file, QStringLiteral("E&xit"), [this] { close(); });
    // Not every desktop binds the standard quit key: Ctrl+Q always.
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    Scaled1 = AddCommand(options, QStringLiteral("&Automatic scaling"), [this] {
        PolygonChart1->SetAutomaticScaling(Scaled1->isChecked());
        PolygonChart1->UpdateAxisScales();
        PolygonChart1->Invalidate();
    });
    Scaled1->setCheckable(true);
    Scaled1->setChecked(true);
    Boxconstrctor1 = AddCommand(options, QStringLiteral("&Model setup..."), [this] { ChooseModelSetup(); });
    Carotagedata1 = AddCommand(options, QStringLiteral("&Carotage data..."), [this] { ReadCarotage(); });
    Regions1 = AddCommand(options, QStringLiteral("&Regions..."), [this] { ShowRegions(); });
    AddCommand(options, QStringLiteral("&Output settings..."), [this] { prntset->exec(); });

    QMenu* modelling = menuBar()->addMenu(QStringLiteral("&Modelling"));
    Forwardresponse1 = AddCommand(modelling, QStringLiteral("&Forward response..."), [this] { ShowForwardResponse(); });
    Forwardresponse1->setObjectName(QStringLiteral("Forwardresponse1"));
    Measureddata1 = AddCommand(modelling, QStringLiteral("&Measured data..."), [this] { OpenMeasuredData(); });
    Measureddata1->setObjectName(QStringLiteral("Measureddata1"));
    Electrodepositions1 =
        AddCommand(modelling, QStringLiteral("&Electrode positions..."), [this] { OpenElectrodePositions(); });
    Electrodepositions1->setObjectName(QStringLiteral("Electrodepositions1"));
    Invert1 = AddCommand(modelling, QStringLiteral("&Invert..."), [this] { ShowInversion(); });
    Invert1->setObjectName(QStringLiteral("Invert1"));
    Timelapse1 = AddCommand(modelling, QStringLiteral("&Time-lapse..."), [this] { ShowTimeLapse(); });
    Timelapse1->setObjectName(QStringLiteral("Timelapse1"));
    // Makes sections of its own: open without a section too.
    Severallines1 = AddCommand(modelling, QStringLiteral("&Several lines..."), [this] { ShowSiteLines(); });
    Severallines1->setObjectName(QStringLiteral("Severallines1"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, QStringLiteral("&Context"), [this] { Context(); })->setShortcut(QKeySequence::HelpContents);
    AddCommand(help, QStringLiteral("&About"), [this] { Parts->ShowSplash(20000); });
}

void TMainfrm::AddModeButton(TPolygonEditMode Mode)
{
    auto* button = new QToolButton(ToolBar1);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolTip(EditModeHint(Mode));
    button->setIcon(ModeIcon(Mode));
    button->setObjectName(ModeButtonName(Mode));
    connect(button, &QToolButton::clicked, this, [this, Mode, button] {
        PolygonChart1->EditMode = Mode;
        SelectModeButton(button);
        PolygonChart1->ResetEditMode();
    });
    ToolBar1->addWidget(button);
    ModeButtons[Mode] = button;
}

void TMainfrm::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("Modes"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    for (TPolygonEditMode mode : ModeButtonOrder()) {
        if (mode == pmAddLine)
            ToolBar1->addSeparator();
        AddModeButton(mode);
    }
    ToolBar1->addSeparator();
    SpeedButton13 = new QToolButton(ToolBar1);
    SpeedButton13->setObjectName(QStringLiteral("SpeedButton13"));
    SpeedButton13->setToolTip(QStringLiteral("UnDo"));
    SpeedButton13->setIcon(UndoIcon());
    SpeedButton13->setAutoRaise(true);
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { Undo(); });
    UndoKey = new QAction(QStringLiteral("UnDo"), this);
    UndoKey->setObjectName(QStringLiteral("UndoKey"));
    UndoKey->setShortcut(QKeySequence::Undo);
    connect(UndoKey, &QAction::triggered, this, [this] { UndoByKey(); });
    addAction(UndoKey);
    ToolBar1->addWidget(SpeedButton13);
    SpeedButton19 = new QToolButton(ToolBar1);
    SpeedButton19->setObjectName(QStringLiteral("SpeedButton19"));
    SpeedButton19->setToolTip(QStringLiteral("New lines look like the last line"));
    SpeedButton19->setIcon(LineLookIcon());
    SpeedButton19->setAutoRaise(true);
    connect(SpeedButton19, &QToolButton::clicked, this, [this] { UseLastLineLook(); });
    ToolBar1->addWidget(SpeedButton19);
}

void TMainfrm::EnableSectionCommands(bool On)
{
    ToolBar1->setEnabled(On);
    UndoKey->setEnabled(On);
    for (QAction* action : {Savefile1, Exportmodel1, Removepicture1, Ptint1, Scaled1, Boxconstrctor1, Carotagedata1,
                             Regions1, Forwardresponse1, Measureddata1, Electrodepositions1, Invert1, Timelapse1})
        action->setEnabled(On);
}

} // namespace lp
