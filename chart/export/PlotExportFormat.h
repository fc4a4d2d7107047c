#pragma once
// Picture export formats: the base every format derives from and the global
// list of format classes.
//
//   TPlotExportFormat (QObject)  panel (observed), width, height, filter index
//     ├─ TEMFExportFormat        enhanced metafile / placeable WMF (PlotExportMetafile.h)
//     ├─ TBMPExportFormat        bitmap (PlotExportBitmap.h)
//     └─ PNG, JPEG, SVG, PDF     (PlotExportOther.h)
//
// A format class is its meta-object; formats are created through their
// Q_INVOKABLE constructor, so the list holds classes, not instances.
// Nothing registers itself: InitializeChartExport (PlotExport.h) fills the
// list at start-up.

#include "chart/canvas/PlotPanel.h"
#include "chart/canvas/PlotRoutines.h" // EPlotExportError: a picture too large or a file not written
#include "platform/graphics/Picture.h"

#include <QtCore/QIODevice>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

namespace lp {

// The largest exported picture: each side at most MaxPixelLength and at
// most this many pixels in all (a 32-bit bitmap of 400 MB).
inline constexpr qint64 MaxExportPixels = 100'000'000;

class TPlotExportFormat : public QObject {
    Q_OBJECT
public:
    TPlotExportFormat();
    ~TPlotExportFormat() override;

    // The panel to export (observed: forgotten when the panel goes).
    TCustomPlotPanel* Panel() const { return FPanel.data(); }
    void SetPanel(TCustomPlotPanel* value) { FPanel = value; }
    // Picture size in pixels; 0 takes the panel's size at each copy or save.
    int Width() const { return FWidth; }
    void SetWidth(int value) { FWidth = value; }
    int Height() const { return FHeight; }
    void SetHeight(int value) { FHeight = value; }

    // Builds the picture and puts it on the clipboard.
    virtual void DoCopyToClipboard() = 0;
    // The format's first entry in a save dialog's filter list (1-based).
    virtual int FilterIndex() const { return FFilterIndex; }
    // Adds 1 to Counter and takes it as the filter index.
    virtual void AssignFilterIndex(int& Counter);
    virtual bool OwnsFilterIndex(int Index);
    // The menu text ("as &Bitmap").
    virtual QString Description() const = 0;
    // Without the dot ("bmp").
    virtual QString FileExtension() const = 0;
    // Text and mask pairs joined by "|".
    virtual QString FileFilter() const = 0;
    // Creates an empty picture of the class this format produces; empty
    // when the platform has no picture class for it.
    virtual TGraphicFactory GraphicClass() const { return {}; }
    // Builds the picture and writes it to Stream.
    virtual void SaveToStream(QIODevice& Stream) = 0;
    // The options form (owned), created when missing and Create is set;
    // nullptr for formats without options.
    virtual QWidget* Options(bool Create = true);

    // Raises "Panel property is not set in Export format" without a panel;
    // then makes sure of the options form, checks the size and copies.
    void CopyToClipboard();
    // As CopyToClipboard, then the picture is made in memory and written
    // through a temporary file: a failure (bad size, full disk, no folder)
    // raises EPlotExportError and leaves an existing file as it was.
    void SaveToFile(const QString& FileName);
    // A Width or Height of 0 takes the panel's. A negative size, an empty
    // result or a picture past the export limits raises EPlotExportError
    // (the stored sizes are then unchanged).
    void CheckSize();

protected:
    // The panel, or the "not set" error.
    TCustomPlotPanel& CheckedPanel() const;
    int FFilterIndex = 0;
    std::unique_ptr<QWidget> FOptions;

private:
    QPointer<TCustomPlotPanel> FPanel;
    int FWidth = 0;
    int FHeight = 0;
};

// A format class: the meta-object of a TPlotExportFormat descendant with a
// Q_INVOKABLE constructor.
using TPlotExportFormatClass = const QMetaObject*;

// A new format of the class (nullptr is refused with EInvalidOperation).
std::unique_ptr<TPlotExportFormat> CreatePlotExportFormat(TPlotExportFormatClass FormatClass);

// The registered format classes in registration order.
class TPlotExportFormats {
public:
    int Count() const { return static_cast<int>(FClasses.size()); }
    // ERangeError outside 0 .. Count - 1.
    TPlotExportFormatClass Format(int Index) const;
    void Add(TPlotExportFormatClass FormatClass) { FClasses.push_back(FormatClass); }
    void Remove(TPlotExportFormatClass FormatClass);

private:
    std::vector<TPlotExportFormatClass> FClasses;
};

// The global list; nullptr before the first registration and after the
// list was released.
TPlotExportFormats* PlotExportFormats();
// Creates the list when needed and appends the class.
void RegisterPlotExportFormat(TPlotExportFormatClass FormatClass);
// Removes the class when the list exists; the list is released with its
// last class.
void UnRegisterPlotExportFormat(TPlotExportFormatClass FormatClass);

// Extension with its dot (".bmp", any case): a new empty picture of the
// first registered format whose extension matches, or nullptr.
std::unique_ptr<TGraphic> CreateGraphicForExtension(const QString& Extension);

} // namespace lp
