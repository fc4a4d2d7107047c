// Renders the Markdown manual to PDF at build time:
//   render_manual <manual.md> <manual.pdf>

#include <QtCore/QFile>
#include <QtCore/QSaveFile>
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageSize>
#include <QtGui/QPdfWriter>
#include <QtGui/QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_manual <manual.md> <manual.pdf>\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "render_manual: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; } th, td { padding: 3px; }"));
    document.setMarkdown(QString::fromUtf8(source.readAll()));

    const QString target = QString::fromLocal8Bit(argv[2]);
    QPdfWriter writer(target);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Lithoprism user manual"));
    writer.setCreator(QStringLiteral("Lithoprism"));
    document.print(&writer);
    if (!QFile::exists(target)) {
        std::fprintf(stderr, "render_manual: %s was not written\n", argv[2]);
        return 1;
    }
    return 0;
}
