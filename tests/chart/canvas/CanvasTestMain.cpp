// The canvas suite runs with an application object (offscreen), which
// fonts, palettes, pixmaps and the panels' windows need.

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
