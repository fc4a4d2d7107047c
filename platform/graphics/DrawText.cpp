#include "platform/graphics/DrawText.h"

#include <QtCore/QStringList>

#include <algorithm>

namespace lp {

namespace {

const QString kEllipsis = QStringLiteral("...");

// A line to draw: its characters and the position of the underlined
// accelerator (-1 for none).
struct TTextLine {
    QString Text;
    int Underline = -1;
};

// Removes the prefix marks of one line and notes the accelerator.
TTextLine StripPrefixes(const QString& Line)
{
    TTextLine Result;
    for (qsizetype i = 0; i < Line.size(); ++i) {
        if (Line[i] != QLatin1Char('&')) {
            Result.Text += Line[i];
            continue;
        }
        if (i + 1 >= Line.size())
            break; // a trailing '&' marks nothing
        ++i;
        if (Line[i] != QLatin1Char('&'))
            Result.Underline = static_cast<int>(Result.Text.size());
        Result.Text += Line[i];
    }
    return Result;
}

class TTextLayout {
public:
    TTextLayout(const TCanvas& Canvas, unsigned Format) : FCanvas(Canvas), FFormat(Format)
    {
        FTabWidth = 8 * std::max(1, FCanvas.TextWidth(QStringLiteral("x")));
    }

    // Width of a line, tabs at their stops when they are expanded.
    int Width(const QString& Text) const
    {
        if (!(FFormat & DT_EXPANDTABS) || !Text.contains(QLatin1Char('\t')))
            return FCanvas.TextWidth(Text);
        int X = 0;
        const QStringList Segments = Text.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < Segments.size(); ++i) {
            X += FCanvas.TextWidth(Segments[i]);
            if (i + 1 < Segments.size())
                X = (X / FTabWidth + 1) * FTabWidth;
        }
        return X;
    }

    // The lines of Text for an area Available pixels wide.
    std::vector<QString> Lines(const QString& Text, int Available) const
    {
        QStringList Paragraphs;
        if (FFormat & DT_SINGLELINE)
            Paragraphs << Text;
        else
            Paragraphs = QString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                             .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                             .split(QLatin1Char('\n'));
        std::vector<QString> Result;
        for (const QString& Paragraph : Paragraphs) {
            if (FFormat & DT_WORDBREAK && !(FFormat & DT_SINGLELINE))
                Wrap(Paragraph, Available, Result);
            else
                Result.push_back(Paragraph);
        }
        return Result;
    }

    // Shortens a line that is wider than Available by the ellipsis flags.
    QString Ellipsised(const QString& Line, int Available) const
    {
        if (Width(Line) <= Available)
            return Line;
        if (FFormat & DT_PATH_ELLIPSIS) {
            const qsizetype Split = std::max(Line.lastIndexOf(QLatin1Char('\\')), Line.lastIndexOf(QLatin1Char('/')));
            if (Split > 0) {
                const QString Tail = Line.mid(Split);
                for (qsizetype Keep = Split - 1; Keep >= 0; --Keep) {
                    const QString Candidate = Line.left(Keep) + kEllipsis + Tail;
                    if (Width(Candidate) <= Available || Keep == 0)
                        return Candidate;
                }
            }
        }
        if (FFormat & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) {
            for (qsizetype Keep = Line.size() - 1; Keep > 0; --Keep) {
                const QString Candidate = Line.left(Keep) + kEllipsis;
                if (Width(Candidate) <= Available)
                    return Candidate;
            }
            return kEllipsis;
        }
        return Line;
    }

private:
    // Breaks a paragraph at blanks; a word wider than the area stands alone.
    void Wrap(const QString& Paragraph, int Available, std::vector<QString>& Result) const
    {
        const QStringList Words = Paragraph.split(QLatin1Char(' '));
        QString Line;
        for (qsizetype i = 0; i < Words.size(); ++i) {
            const QString Candidate = i == 0 ? Words[i] : Line + QLatin1Char(' ') + Words[i];
            if (i > 0 && Width(Candidate) > Available) {
                Result.push_back(Line);
                Line = Words[i];
            } else {
                Line = Candidate;
            }
        }
        Result.push_back(Line);
    }

    const TCanvas& FCanvas;
    unsigned FFormat;
    int FTabWidth;
};

// Draws one line with its top-left corner at (X, Y).
void DrawLine(TCanvas& Canvas, const TTextLayout& Layout, const TTextLine& Line, int X, int Y, unsigned Format)
{
    TDeviceContext& DC = Canvas.Handle();
    if (Format & DT_EXPANDTABS && Line.Text.contains(QLatin1Char('\t'))) {
        qsizetype Start = 0;
        while (Start <= Line.Text.size()) {
            const qsizetype Tab = Line.Text.indexOf(QLatin1Char('\t'), Start);
            const QString Segment = Line.Text.mid(Start, Tab < 0 ? -1 : Tab - Start);
            DC.TextOut(X + Layout.Width(Line.Text.left(Start)), Y, Segment);
            if (Tab < 0)
                break;
            Start = Tab + 1;
        }
    } else {
        DC.TextOut(X, Y, Line.Text);
    }
    if (Line.Underline >= 0) {
        const int Left = X + Layout.Width(Line.Text.left(Line.Underline));
        const int Right = X + Layout.Width(Line.Text.left(Line.Underline + 1));
        const int Base = Y + DC.GetTextMetrics().Ascent + 1;
        DC.FillRect({Left, Base, Right, Base + 1}, CreateSolidBrush(DC.TextColor()));
    }
}

} // namespace

int DrawText(TCanvas& Canvas, const QString& Text, TRect& Rect, unsigned Format)
{
    const TTextLayout Layout(Canvas, Format);
    const int Available = Rect.Right - Rect.Left;
    std::vector<TTextLine> Lines;
    for (const QString& Raw : Layout.Lines(Text, Available)) {
        TTextLine Line = Format & DT_NOPREFIX ? TTextLine{Raw, -1} : StripPrefixes(Raw);
        if (Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) {
            const QString Short = Layout.Ellipsised(Line.Text, Available);
            if (Short != Line.Text)
                Line = {Short, -1};
        }
        Lines.push_back(Line);
    }
    const int LineHeight = Canvas.TextHeight(QStringLiteral("Ag"));
    const int Height = LineHeight * static_cast<int>(Lines.size());

    if (Format & DT_CALCRECT) {
        int Widest = 0;
        for (const TTextLine& Line : Lines)
            Widest = std::max(Widest, Layout.Width(Line.Text));
        Rect.Right = Rect.Left + Widest;
        Rect.Bottom = Rect.Top + Height;
        return Height;
    }
    if (!Canvas.HandleAllocated())
        return Height;

    int Y = Rect.Top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            Y = Rect.Top + (Rect.Bottom - Rect.Top - LineHeight) / 2;
        else if (Format & DT_BOTTOM)
            Y = Rect.Bottom - LineHeight;
    }

    TDeviceContext& DC = Canvas.Handle();
    std::optional<TRegion> OldClip = DC.ClipRegion();
    if (!(Format & DT_NOCLIP))
        DC.IntersectClipRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    const int OldMode = DC.SetBkMode(TRANSPARENT);
    const unsigned OldAlign = DC.SetTextAlign(TA_LEFT | TA_TOP);
    for (const TTextLine& Line : Lines) {
        int X = Rect.Left;
        if (Format & DT_CENTER)
            X = Rect.Left + (Available - Layout.Width(Line.Text)) / 2;
        else if (Format & DT_RIGHT)
            X = Rect.Right - Layout.Width(Line.Text);
        DrawLine(Canvas, Layout, Line, X, Y, Format);
        Y += LineHeight;
    }
    DC.SetTextAlign(OldAlign);
    DC.SetBkMode(OldMode);
    if (!(Format & DT_NOCLIP))
        DC.SelectClipRgn(OldClip ? &*OldClip : nullptr);
    return Height;
}

QChar AcceleratorOf(const QString& Text)
{
    for (const QString& Line : Text.split(QLatin1Char('\n'))) {
        const TTextLine Stripped = StripPrefixes(Line);
        if (Stripped.Underline >= 0)
            return Stripped.Text[Stripped.Underline].toLower();
    }
    return {};
}

} // namespace lp
