// The platform suite runs with a GUI application object (offscreen), which
// fonts, palettes and pixmaps need.

#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
