// The page builder's grid: rows in order, and the stretch only where asked
// for, also below rows a descendant page adds after it.

#include "chart/editors/EditorPageBuilder.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// The rows of Grid whose stretch is not 0.
QList<int> StretchedRows(const QGridLayout& Grid)
{
    QList<int> rows;
    for (int row = 0; row < Grid.rowCount(); ++row)
        if (Grid.rowStretch(row) != 0)
            rows << row;
    return rows;
}

TEST(EditorPageBuilder, RowsGetNoStretchOfTheirOwn)
{
    // Guards against a row asking Qt for the stretch of a row the grid did
    // not have yet: read past Qt's list, a stray value put a stretching
    // empty row into the page (the titles page's memo sat far below its
    // label).
    QWidget page;
    TPageBuilder build(page);
    for (int i = 0; i < 40; ++i) {
        switch (i % 3) {
        case 0: build.Row(QStringLiteral("Value:"), build.SpinBox("Spin", 0, 9)); break;
        case 1: build.Full(build.CheckBox("Check", QStringLiteral("Check"))); break;
        default: build.Line({new QLabel(QStringLiteral("Line"), &page)}); break;
        }
    }
    EXPECT_EQ(build.Grid().rowCount(), 40);
    EXPECT_TRUE(StretchedRows(build.Grid()).isEmpty());
}

TEST(EditorPageBuilder, TheStretchStaysBelowRowsAddedAfterIt)
{
    QWidget page;
    TPageBuilder build(page);
    build.Full(build.CheckBox("First", QStringLiteral("First")));
    build.Stretch();
    EXPECT_EQ(StretchedRows(build.Grid()), QList<int>{1});
    // A descendant page's rows come before the stretch.
    build.Full(build.CheckBox("Second", QStringLiteral("Second")));
    build.Row(QStringLiteral("Third:"), build.SpinBox("Third", 0, 9));
    EXPECT_EQ(StretchedRows(build.Grid()), QList<int>{3});
}

} // namespace
} // namespace lp
