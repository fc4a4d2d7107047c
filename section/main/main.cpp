// Lithoprism's section editor.
#include "section/main/CommandLine.h"
#include "section/main/StartUp.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    // Command-line requests run before any window system is touched, so
    // they need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> code = lp::RunCommandLine(arguments))
        return *code;
    QApplication application(argc, argv);
    return lp::RunSectionEditor(QApplication::arguments().mid(1));
}
