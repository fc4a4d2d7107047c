// Lithoprism's section editor.
#include "section/main/StartUp.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return lp::RunSectionEditor(QApplication::arguments().mid(1));
}
