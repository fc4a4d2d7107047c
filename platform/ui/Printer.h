#pragma once
// The printer: one process-wide object through which every print job runs.
//
// BeginDoc starts a job and gives a canvas over the first page (device
// pixels at the printer's resolution, technology DT_RASPRINTER); NewPage
// moves on; EndDoc finishes and sends the job. Without a printer chosen (or
// when OutputFileName is set) the job becomes a PDF file, which is also how
// the tests print.

#include "platform/graphics/Canvas.h"

#include <QtCore/QStringList>

#include <memory>

class QPrinter;

namespace lp {

class TPainterDC;

// A print job that cannot start or be written.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

class TPrinter {
public:
    enum TPrinterOrientation { poPortrait, poLandscape };

    static TPrinter& Instance();
    ~TPrinter();

    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Ends the job without sending what was drawn.
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }

    // The canvas of the current page (EInvalidOperation outside a job).
    TCanvas& Canvas();
    // The printable page in device pixels.
    int PageWidth() const;
    int PageHeight() const;
    int Resolution() const { return FResolution; }
    void SetResolution(int dpi);

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation value);
    QString Title() const { return FTitle; }
    void SetTitle(const QString& value) { FTitle = value; }
    int Copies() const { return FCopies; }
    void SetCopies(int value) { FCopies = std::max(value, 1); }

    // The printers of the desktop, and the one chosen (-1: the default
    // printer, or a PDF file when there is none).
    QStringList Printers() const;
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int value);
    // A PDF file to print into instead of a printer (empty: print).
    QString OutputFileName() const { return FOutputFileName; }
    void SetOutputFileName(const QString& value) { FOutputFileName = value; }

    // The Qt printer of the current settings (for print dialogs).
    QPrinter& QtPrinter();

private:
    TPrinter();
    void Configure();
    void FinishPainting();

    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<TPainterDC> FDC;
    std::unique_ptr<TCanvas> FCanvas;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    int FResolution = 300;
    TPrinterOrientation FOrientation = poPortrait;
    QString FTitle;
    int FCopies = 1;
    int FPrinterIndex = -1;
    QString FOutputFileName;
};

inline TPrinter& Printer()
{
    return TPrinter::Instance();
}

} // namespace lp
