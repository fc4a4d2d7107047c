#include "platform/ui/Printer.h"

#include "platform/graphics/PainterDC.h"

#include <QtCore/QDir>
#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>

namespace lp {

TPrinter& TPrinter::Instance()
{
    static TPrinter printer;
    return printer;
}

TPrinter::TPrinter() : FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

TPrinter::~TPrinter()
{
    FCanvas.reset();
    FDC.reset();
}

QStringList TPrinter::Printers() const
{
    return QPrinterInfo::availablePrinterNames();
}

void TPrinter::SetPrinterIndex(int value)
{
    if (FPrinting)
        throw EPrinter("The printer cannot be changed while printing");
    if (value < -1 || value >= Printers().size())
        RaiseIndexError(value, Printers().size());
    FPrinterIndex = value;
}

void TPrinter::SetOrientation(TPrinterOrientation value)
{
    if (FPrinting)
        throw EPrinter("The orientation cannot be changed while printing");
    FOrientation = value;
}

void TPrinter::SetResolution(int dpi)
{
    if (FPrinting)
        throw EPrinter("The resolution cannot be changed while printing");
    if (dpi < 36 || dpi > 2400)
        RaiseRangeError("Printer resolution %d is out of range", {ArgText(dpi)});
    FResolution = dpi;
}

QPrinter& TPrinter::QtPrinter()
{
    if (!FPrinting)
        Configure();
    return *FPrinter;
}

void TPrinter::Configure()
{
    const QStringList printers = Printers();
    const bool toFile = !FOutputFileName.isEmpty() || printers.isEmpty();
    if (toFile) {
        FPrinter->setOutputFormat(QPrinter::PdfFormat);
        FPrinter->setOutputFileName(FOutputFileName.isEmpty() ? QDir::home().filePath(QStringLiteral("lithoprism.pdf"))
                                                              : FOutputFileName);
    } else {
        FPrinter->setOutputFormat(QPrinter::NativeFormat);
        FPrinter->setPrinterName(FPrinterIndex >= 0 ? printers[FPrinterIndex]
                                                    : QPrinterInfo::defaultPrinterName());
    }
    FPrinter->setResolution(FResolution);
    FPrinter->setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    FPrinter->setDocName(FTitle);
    FPrinter->setCopyCount(FCopies);
}

void TPrinter::BeginDoc()
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    Configure();
    FDC = std::make_unique<TPainterDC>(*FPrinter, DT_RASPRINTER);
    FCanvas = std::make_unique<TCanvas>(FDC.get());
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    FDC->Begin(); // the page is turned by the active painter
    if (!FPrinter->newPage())
        throw EPrinter("A new page could not be started");
    ++FPageNumber;
}

void TPrinter::FinishPainting()
{
    if (FDC)
        FDC->Finish();
    FCanvas.reset();
    FDC.reset();
    FPrinting = false;
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    // A job on which nothing was drawn still gives its (empty) page.
    if (!FDC->Active())
        FDC->SetPixel(-1, -1, clWhite);
    FinishPainting();
    if (FPrinter->printerState() == QPrinter::Error)
        throw EPrinter("The print job could not be finished");
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    FPrinter->abort();
    FinishPainting();
    FAborted = true;
}

TCanvas& TPrinter::Canvas()
{
    if (!FPrinting)
        throw EInvalidOperation("Printer is not currently printing");
    return *FCanvas;
}

int TPrinter::PageWidth() const
{
    return FPrinter->pageLayout().paintRectPixels(FPrinter->resolution()).width();
}

int TPrinter::PageHeight() const
{
    return FPrinter->pageLayout().paintRectPixels(FPrinter->resolution()).height();
}

} // namespace lp
