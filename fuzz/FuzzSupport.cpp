#include "fuzz/FuzzSupport.h"

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "platform/core/Filer.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QBuffer>

#include <QtGui/QFont>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>

namespace lp::fuzz {

void StartApplication()
{
    static bool Started = false;
    if (Started)
        return;
    Started = true;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int Argc = 1;
    static char Name[] = "fuzz";
    static char* Argv[] = {Name, nullptr};
    static QApplication* Application = new QApplication(Argc, Argv);
    // Qt's per-thread font caches are made on the first text measured and
    // end with the process in the reverse order of their making: made now,
    // they outlive the application ended below instead of leaving its
    // font engines behind.
    QFontMetrics(QFont()).height();
    InitializeChartLibrary();
    // Both end when the process exits, as the application ends them (the
    // font database lets go of its caches only then).
    std::atexit([] {
        FinalizeChartLibrary();
        delete Application;
    });
}

QByteArray Bytes(const uint8_t* Data, size_t Size)
{
    return QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
}

QString Text(const uint8_t* Data, size_t Size)
{
    QString Result;
    Result.reserve(static_cast<qsizetype>(Size));
    size_t At = 0;
    while (At < Size) {
        // The longest valid UTF-8 sequence starting here, else one Latin-1 byte.
        const uint8_t Lead = Data[At];
        const size_t Length = Lead < 0x80 ? 1 : (Lead >> 5) == 6 ? 2 : (Lead >> 4) == 14 ? 3 : (Lead >> 3) == 30 ? 4 : 0;
        if (Length > 1 && At + Length <= Size) {
            const QString Decoded =
                QString::fromUtf8(reinterpret_cast<const char*>(Data + At), static_cast<qsizetype>(Length));
            if (!Decoded.contains(QChar::ReplacementCharacter)) {
                Result += Decoded;
                At += Length;
                continue;
            }
        }
        Result += QChar(static_cast<char16_t>(Lead));
        ++At;
    }
    return Result;
}

QLocale LocaleOf(uint8_t Byte)
{
    static const QLocale Locales[LocaleCount] = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Dutch, QLocale::Netherlands),
        QLocale(QLocale::Russian, QLocale::Russia),
        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Swedish, QLocale::Sweden),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::Arabic, QLocale::Egypt)};
    return Locales[Byte % LocaleCount];
}

void PrepareChart(TCustomChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
}

void PaintChart(TCustomChart& Chart)
{
    TBitmap Picture(Chart.Width(), Chart.Height());
    Chart.DrawToCanvas(&Picture.Canvas(), Chart.GetRectangle());
}

void Require(bool Condition, const char* What)
{
    if (Condition)
        return;
    std::fprintf(stderr, "fuzz: property broken: %s\n", What);
    std::abort();
}

namespace {

// Reads or writes the block through the object's stored-property definition.
void StreamBlock(TPersistent& Object, const char* Name, QBuffer& Buffer, bool Read)
{
    TPropertyDefinitions Definitions;
    Object.DefineProperties(Definitions);
    const TPropertyDefinitions::TDefinition* Block = Definitions.Find(QString::fromLatin1(Name));
    Require(Block && Block->Binary, "the object defines the binary block");
    if (Read)
        Block->ReadStream(Buffer);
    else
        Block->WriteStream(Buffer);
}

} // namespace

bool RoundTripBinaryBlock(TPersistent& Target, TPersistent& Copy, TCustomChart& Chart, const char* Name,
                          const uint8_t* Data, size_t Size)
{
    QBuffer Input;
    Input.setData(Bytes(Data, Size));
    Input.open(QIODevice::ReadOnly);
    bool Read = false;
    Refusable([&] {
        StreamBlock(Target, Name, Input, true);
        Read = true;
    });
    if (!Read)
        return false;
    Refusable([&] { PaintChart(Chart); });
    QBuffer Written;
    Written.open(QIODevice::WriteOnly);
    StreamBlock(Target, Name, Written, false);
    QBuffer Again;
    Again.setData(Written.data());
    Again.open(QIODevice::ReadOnly);
    try {
        StreamBlock(Copy, Name, Again, true);
    } catch (const Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        Require(false, "a written block reads back");
    }
    return true;
}

} // namespace lp::fuzz
