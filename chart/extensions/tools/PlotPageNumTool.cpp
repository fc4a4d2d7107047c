#include "chart/extensions/tools/PlotPageNumTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"

namespace lp {

QString FormatPageNumber(const QString& Format, int Page, int Count)
{
    QString Result;
    Result.reserve(Format.size() + 8);
    const int Values[] = {Page, Count};
    int Next = 0;
    for (qsizetype I = 0; I < Format.size(); ++I) {
        const QChar C = Format.at(I);
        const QChar Following = I + 1 < Format.size() ? Format.at(I + 1) : QChar();
        if (C == u'%' && Following == u'%') {
            Result += u'%';
            ++I;
        } else if (C == u'%' && Following == u'd' && Next < 2) {
            Result += QString::number(Values[Next++]);
            ++I;
        } else {
            Result += C;
        }
    }
    return Result;
}

TPageNumTool::TPageNumTool(TComponent* AOwner) : TAnnotationTool(AOwner), FFormat(PlotMsg_PageOfPages) {}

QString TPageNumTool::Description() const
{
    return PlotMsg_PageNumber;
}

QString TPageNumTool::GetText() const
{
    const TCustomAxisPanel* Chart = ParentChart();
    return FormatPageNumber(FFormat, Chart ? Chart->Page() : 1, Chart ? Chart->NumPages() : 1);
}

bool TPageNumTool::IsFormatStored() const
{
    return FFormat != PlotMsg_PageOfPages;
}

void RegisterPageNumTool()
{
    RegisterPlotTools({PlotClass<TPageNumTool>()});
    PageNumToolClass = &TPageNumTool::staticMetaObject;
}

void UnregisterPageNumTool()
{
    PageNumToolClass = nullptr;
    UnRegisterPlotTools({&TPageNumTool::staticMetaObject});
}

} // namespace lp
