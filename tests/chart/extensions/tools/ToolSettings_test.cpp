// Stored settings of every registered tool type: a new tool stores none of
// its published values, a changed value is stored; drawn lines and the
// axis tools' axis survive a write and read of the chart.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/ComponentStream.h"
#include "platform/core/PropertyInfo.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

#include <memory>

namespace lp {
namespace {

// A value different from Current for the simple property types.
QVariant Changed(const QMetaProperty& P, const QVariant& Current)
{
    if (P.isEnumType()) {
        const QMetaEnum E = P.enumerator();
        for (int I = 0; I < E.keyCount(); ++I)
            if (E.value(I) != Current.toInt())
                return E.value(I);
        return {};
    }
    switch (Current.typeId()) {
    case QMetaType::Bool:
        return !Current.toBool();
    case QMetaType::Int:
        return Current.toInt() + 1;
    case QMetaType::Double:
        return Current.toDouble() + 1.5;
    case QMetaType::QString:
        return Current.toString() + QStringLiteral("x");
    default:
        return {};
    }
}

TEST(ToolSettings, DefaultsAreNotStoredAndChangedValuesAre)
{
    ASSERT_GE(PlotToolTypes()->Count(), 20);
    for (int I = 0; I < PlotToolTypes()->Count(); ++I) {
        const QString Name = TPersistent::ClassNameOf(*PlotToolTypes()->Items(I));
        const std::unique_ptr<TPersistent> Tool = CreateObject(Name);
        ASSERT_NE(Tool, nullptr) << Name.toStdString();
        int Checked = 0;
        for (const QMetaProperty& P : PublishedProperties(Tool.get())) {
            if (!HasPropertyDefault(Tool.get(), P.name()))
                continue;
            const std::string What = Name.toStdString() + "." + P.name();
            EXPECT_FALSE(IsPropertyStored(Tool.get(), P.name())) << What;
            const QVariant Other = Changed(P, P.read(Tool.get()));
            if (!Other.isValid() || !P.write(Tool.get(), Other))
                continue;
            EXPECT_TRUE(IsPropertyStored(Tool.get(), P.name())) << What;
            ++Checked;
        }
        EXPECT_GT(Checked, 0) << Name.toStdString();
    }
}

TEST(ToolSettings, DrawnLinesAndTheAxisOfAnAxisToolAreReadBack)
{
    TChart Original;
    auto* Lines = new TDrawLineTool(&Original);
    Lines->SetName(QStringLiteral("Lines1"));
    Original.Tools().Add(Lines);
    TDrawLine* Line = Lines->Lines()->Add();
    Line->SetX0(1.5);
    Line->SetY0(2);
    Line->SetX1(30);
    Line->SetY1(-4.25);
    Lines->Lines()->Add()->SetStyle(TDrawLine::dlHorizParallel);
    auto* Marker = new TColorLineTool(&Original);
    Marker->SetName(QStringLiteral("Marker1"));
    Marker->SetAxis(Original.RightAxis());
    const QByteArray Text = test::ComponentText(Original);
    EXPECT_TRUE(Text.contains("AxisID = 3"));

    QBuffer Binary;
    Binary.open(QIODevice::ReadWrite);
    TComponentWriter(&Original).WriteDescendent(Binary, &Original);
    Binary.seek(0);
    TChart Copy;
    TComponentReader().ReadRootComponent(Binary, &Copy);
    ASSERT_EQ(Copy.Tools().Count(), 2);
    auto* ReadLines = qobject_cast<TDrawLineTool*>(Copy.Tools()[0]);
    ASSERT_NE(ReadLines, nullptr);
    ASSERT_EQ(ReadLines->Lines()->Count(), 2);
    EXPECT_DOUBLE_EQ(static_cast<TDrawLine*>(ReadLines->Lines()->Items(0))->Y1(), -4.25);
    EXPECT_EQ(static_cast<TDrawLine*>(ReadLines->Lines()->Items(1))->Style(), TDrawLine::dlHorizParallel);
    auto* ReadMarker = qobject_cast<TColorLineTool*>(Copy.Tools()[1]);
    ASSERT_NE(ReadMarker, nullptr);
    EXPECT_EQ(ReadMarker->Axis(), Copy.RightAxis());
    EXPECT_EQ(test::ComponentText(Copy), Text);
}

} // namespace
} // namespace lp
