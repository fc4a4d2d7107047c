#pragma once
// The main window's decisions that need no window: the file named on the
// command line, where a section's picture is found, the files a save
// writes, which mode a held key chooses, and the paper-scale picture's size
// and resolution header.

#include "section/editor/PolygonChart.h"

#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <optional>

namespace lp {

// The arguments but the splash switches "-ns" and "/ns" joined with one
// blank (a name with blanks arrives split); empty unless the joined name
// ends in ".sec" in any letter case.
QString SectionFileFromArguments(const QStringList& Arguments);

// The stored picture path when that file exists, else the picture's file
// name in the section file's folder when that exists; empty when neither.
QString ResolvePicturePath(const QString& StoredPath, const QString& SectionFile);

// FileName with its extension replaced by Extension (".bmp").
QString WithExtension(const QString& FileName, const QString& Extension);
// The files a save writes for the name chosen in the save dialog: a section
// always under the extension ".sec"; a picture as the paper-scale bitmap
// (".bmp") when Automatic is off and the name does not end in ".emf", else
// as a metafile (".emf").
QString SectionFileName(const QString& FileName);
QString PictureFileName(const QString& FileName, bool Automatic);

// Keys that switch the mode while they are held.
enum class TModeKey { Shift, Alt, Ctrl, Escape };

// The mode a pressed key switches to, or none when the present mode is
// already one of the key's pair. NodeDistance and LineDistance are the
// scaled distances to the nearest node and line point (a tie picks the line
// mode; a missing element is infinitely far).
std::optional<TPolygonEditMode> ModeForKey(TModeKey Key, TPolygonEditMode Current, double NodeDistance,
                                           double LineDistance);

// The scaled distances from (X, Y) to the chart's nearest node and nearest
// line point (infinity when there is none).
double NearestNodeDistance(const TPolygonChart& Chart, double X, double Y);
double NearestLinePointDistance(const TPolygonChart& Chart, double X, double Y);

// A chart picture's size for printing at a paper scale: the plot area's
// model span turned into pixels at Resolution dots per inch, plus the
// chart's margins around the axes.
struct TPaperScaleInput {
    double HorizontalSpan = 0.0; // bottom axis maximum - minimum
    double VerticalSpan = 0.0;   // left axis maximum - minimum
    double HorizontalScale = 0.0; // model units per centimetre of paper
    double VerticalScale = 0.0;
    double Resolution = 0.0;      // dots per inch
    int ChartWidth = 0;
    int ChartHeight = 0;
    int BottomAxisPixels = 0;
    int LeftAxisPixels = 0;
};
struct TPaperScaleSize {
    int Width = 0;
    int Height = 0;
};
// The pixels the plot area must measure: each axis' model span at its
// scale, turned into pixels at the resolution. Raises EConvertError with a
// message for a scale or resolution that is not a positive number.
struct TPaperScalePlot {
    double Width = 0.0;
    double Height = 0.0;
};
TPaperScalePlot PaperScalePlotPixels(const TPaperScaleInput& Input);
// A first guess that takes the margins around the axes as fixed. Raises
// EConvertError with a message for a scale or resolution that is not a
// positive number and for a picture too large (CheckPaperScalePicture).
TPaperScaleSize PaperScaleSize(const TPaperScaleInput& Input);

// Raises EConvertError with a message for a picture under 1 pixel a side,
// over 20000 pixels a side or over 200 million pixels in all.
void CheckPaperScalePicture(double Width, double Height);

// The number in a scale or resolution field, read as every editor field
// reads typed numbers (Locale's separators; TypedReal); What names the
// field in the message ("The vertical scale"). Raises EConvertError with
// the message "<What> must be a positive number" for letters, an empty
// field, zero, a negative or an infinite number.
double PaperScaleNumber(const QString& Text, const char* What, const QLocale& Locale = QLocale());

// The picture size at which the plot area measures the wanted pixels, for
// charts whose margins change with the picture's size (an axis that starts
// a share of the chart's height down). PlotPixelsAt lays the chart out at a
// size and returns the axes' pixel spans. From First, each side is corrected
// by the pixels missing, divided by how much the plot grew per pixel of
// picture between the last two layouts, until both spans are the wanted
// ones rounded, or a few rounds have passed; returns the size whose plot
// came nearest. Every size tried passes CheckPaperScalePicture first.
TPaperScaleSize FitPaperScaleSize(TPaperScaleSize First, TPaperScalePlot Wanted,
                                  const std::function<TPaperScaleSize(TPaperScaleSize)>& PlotPixelsAt);

// Writes the resolution as pixels per metre into both fields of a saved
// bitmap's 40-byte info header (file offsets 38 and 42); other headers stay
// as they are. Raises EInOutError-like Exception when the file cannot be
// opened or written.
void PatchBitmapResolution(const QString& FileName, double Resolution);

} // namespace lp
