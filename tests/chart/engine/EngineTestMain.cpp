// The engine suite runs with an application object (offscreen) and with the
// start-up duties the engine relies on: message texts and the palette.

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    lp::InitializeMessageTexts();
    lp::InitializePlotRoutines();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::FinalizePlotRoutines();
    lp::FinalizeMessageTexts();
    return Result;
}
