#include "section/main/MainWindowGlyphs.h"

#include "section/editor/PolygonChart.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPixmap>

namespace lp {

namespace {

// What a mode works on and the sign it carries.
enum class TSubject { Body, Ring, Node, Line };
enum class TSign { None, Plus, Minus, Move, Cut, Link, Unlink, Pin, Band };

struct TModePicture {
    TSubject Subject;
    TSign Sign;
};

TModePicture PictureOf(TPolygonEditMode Mode)
{
    switch (Mode) {
    case pmAddPolygon: return {TSubject::Body, TSign::Plus};
    case pmDeleteSubPolygon: return {TSubject::Ring, TSign::Minus};
    case pmAddSubPolygon: return {TSubject::Ring, TSign::Plus};
    case pmUncoupleSubPolygon: return {TSubject::Ring, TSign::Unlink};
    case pmDividePolygon: return {TSubject::Body, TSign::Cut};
    case pmMoveSubPolygon: return {TSubject::Ring, TSign::Move};
    case pmMovePolygon: return {TSubject::Body, TSign::Move};
    case pmAddNode: return {TSubject::Node, TSign::Plus};
    case pmDeleteNode: return {TSubject::Node, TSign::Minus};
    case pmCoupleNodes: return {TSubject::Node, TSign::Link};
    case pmUncoupleNodes: return {TSubject::Node, TSign::Unlink};
    case pmMoveNode: return {TSubject::Node, TSign::Move};
    case pmFixNode: return {TSubject::Node, TSign::Pin};
    case pmAddLine: return {TSubject::Line, TSign::Plus};
    case pmMoveLineNode: return {TSubject::Line, TSign::Move};
    case pmDeleteLineNode: return {TSubject::Line, TSign::Minus};
    case pmAddLineNode: return {TSubject::Line, TSign::Link};
    case pmDeleteLine: return {TSubject::Line, TSign::Cut};
    case pmPolygonFromLinesA: return {TSubject::Line, TSign::Band};
    case pmPolygonFromLinesB: return {TSubject::Line, TSign::Band};
    case pmMoveLine: return {TSubject::Line, TSign::Move};
    default: return {TSubject::Body, TSign::None};
    }
}

void DrawSubject(QPainter& P, TSubject Subject, bool Second)
{
    const QPolygonF body{{3, 6}, {14, 3}, {19, 10}, {15, 19}, {4, 17}};
    P.setPen(QPen(QColor(40, 60, 110), 1.3));
    switch (Subject) {
    case TSubject::Body:
        P.setBrush(QColor(240, 190, 90));
        P.drawPolygon(body);
        break;
    case TSubject::Ring:
        P.setBrush(QColor(240, 190, 90));
        P.drawPolygon(body);
        P.setBrush(QColor(120, 170, 220));
        P.drawPolygon(QPolygonF{{7, 9}, {12, 7}, {14, 12}, {9, 14}});
        break;
    case TSubject::Node:
        P.setBrush(QColor(200, 225, 200));
        P.drawPolygon(body);
        P.setBrush(QColor(200, 30, 30));
        P.setPen(Qt::NoPen);
        P.drawEllipse(QPointF(14, 3.5), 3, 3);
        break;
    case TSubject::Line: {
        P.setBrush(Qt::NoBrush);
        P.setPen(QPen(QColor(20, 90, 170), 2));
        P.drawPolyline(QPolygonF{{2, 14}, {7, 8}, {12, 12}, {19, 5}});
        if (Second)
            P.drawPolyline(QPolygonF{{2, 19}, {8, 16}, {13, 18}, {19, 13}});
        P.setBrush(QColor(20, 90, 170));
        P.setPen(Qt::NoPen);
        for (QPointF p : {QPointF(7, 8), QPointF(12, 12)})
            P.drawEllipse(p, 1.8, 1.8);
        break;
    }
    }
}

void DrawSign(QPainter& P, TSign Sign, bool Second)
{
    if (Sign == TSign::None || Sign == TSign::Band) {
        if (Sign == TSign::Band) {
            P.setPen(Qt::NoPen);
            P.setBrush(QColor(240, 190, 90, 160));
            P.drawPolygon(QPolygonF{{2, 14}, {7, 8}, {12, 12}, {19, 5}, {19, 13}, {13, 18}, {8, 16}, {2, 19}});
            P.setPen(QColor(40, 40, 40));
            P.setFont(QFont(QStringLiteral("Liberation Sans"), 7, QFont::Bold));
            P.drawText(QRectF(14, 14, 10, 10), Qt::AlignCenter, Second ? QStringLiteral("B") : QStringLiteral("A"));
        }
        return;
    }
    // The sign sits on a white disc in the lower right corner.
    P.setPen(QPen(QColor(90, 90, 90), 1));
    P.setBrush(Qt::white);
    P.drawEllipse(QPointF(18.5, 18.5), 5, 5);
    P.setPen(QPen(QColor(20, 20, 20), 1.8, Qt::SolidLine, Qt::RoundCap));
    P.setBrush(Qt::NoBrush);
    switch (Sign) {
    case TSign::Plus:
        P.drawLine(QPointF(15.5, 18.5), QPointF(21.5, 18.5));
        P.drawLine(QPointF(18.5, 15.5), QPointF(18.5, 21.5));
        break;
    case TSign::Minus:
        P.setPen(QPen(QColor(190, 20, 20), 1.8, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(15.5, 18.5), QPointF(21.5, 18.5));
        break;
    case TSign::Move:
        P.drawLine(QPointF(15, 18.5), QPointF(22, 18.5));
        P.drawLine(QPointF(18.5, 15), QPointF(18.5, 22));
        P.drawLine(QPointF(20.5, 16.5), QPointF(22, 18.5));
        P.drawLine(QPointF(20.5, 20.5), QPointF(22, 18.5));
        break;
    case TSign::Cut:
        P.setPen(QPen(QColor(190, 20, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(16, 16), QPointF(21, 21));
        P.drawLine(QPointF(21, 16), QPointF(16, 21));
        break;
    case TSign::Link:
        P.drawEllipse(QPointF(17, 18.5), 2, 1.5);
        P.drawEllipse(QPointF(20, 18.5), 2, 1.5);
        break;
    case TSign::Unlink:
        P.drawEllipse(QPointF(16.5, 17.5), 1.6, 1.3);
        P.drawEllipse(QPointF(20.5, 19.5), 1.6, 1.3);
        break;
    case TSign::Pin:
        P.setBrush(QColor(20, 20, 20));
        P.drawRect(QRectF(16.5, 16.5, 4, 4));
        break;
    default:
        break;
    }
}

QIcon IconFrom(const std::function<void(QPainter&)>& Draw)
{
    QIcon icon;
    for (int size : {24, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 24.0, size / 24.0);
        Draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

namespace {

// The mode buttons in tool-bar order with the names the form gives them.
struct TModeButtonEntry {
    int32_t Mode;
    const char* Name;
};
constexpr TModeButtonEntry ModeButtonTable[] = {
    {pmAddPolygon, "SpeedButton1"},        {pmDeleteSubPolygon, "SpeedButton9"},
    {pmAddSubPolygon, "SpeedButton2"},     {pmUncoupleSubPolygon, "SpeedButton10"},
    {pmDividePolygon, "SpeedButton3"},     {pmMoveSubPolygon, "SpeedButton12"},
    {pmMovePolygon, "SpeedButton11"},      {pmAddNode, "SpeedButton8"},
    {pmDeleteNode, "SpeedButton5"},        {pmCoupleNodes, "SpeedButton4"},
    {pmUncoupleNodes, "SpeedButton7"},     {pmMoveNode, "SpeedButton6"},
    {pmAddLine, "SpeedButton14"},          {pmMoveLineNode, "SpeedButton16"},
    {pmDeleteLineNode, "SpeedButton15"},   {pmAddLineNode, "SpeedButton17"},
    {pmDeleteLine, "SpeedButton18"},       {pmPolygonFromLinesA, "SpeedButton20"},
    {pmPolygonFromLinesB, "SpeedButton22"}, {pmMoveLine, "SpeedButton23"}};

} // namespace

const std::vector<int32_t>& ModeButtonOrder()
{
    static const std::vector<int32_t> order = [] {
        std::vector<int32_t> modes;
        for (const TModeButtonEntry& entry : ModeButtonTable)
            modes.push_back(entry.Mode);
        return modes;
    }();
    return order;
}

QString ModeButtonName(int32_t Mode)
{
    for (const TModeButtonEntry& entry : ModeButtonTable)
        if (entry.Mode == Mode)
            return QString::fromLatin1(entry.Name);
    return {};
}

QIcon ModeIcon(int32_t Mode)
{
    const TModePicture picture = PictureOf(Mode);
    const bool second = Mode == pmPolygonFromLinesA || Mode == pmPolygonFromLinesB;
    const bool variantB = Mode == pmPolygonFromLinesB;
    return IconFrom([&](QPainter& P) {
        DrawSubject(P, picture.Subject, second);
        DrawSign(P, picture.Sign, variantB);
    });
}

QIcon UndoIcon()
{
    return IconFrom([](QPainter& P) {
        P.setPen(QPen(QColor(30, 80, 160), 2.4, Qt::SolidLine, Qt::RoundCap));
        QPainterPath arc;
        arc.moveTo(7, 9);
        arc.cubicTo(15, 3, 22, 9, 19, 16);
        arc.cubicTo(17, 20, 12, 21, 9, 19);
        P.drawPath(arc);
        P.setBrush(QColor(30, 80, 160));
        P.setPen(Qt::NoPen);
        P.drawPolygon(QPolygonF{{2, 9}, {10, 4}, {10, 14}});
    });
}

QIcon LineLookIcon()
{
    return IconFrom([](QPainter& P) {
        P.setPen(QPen(QColor(170, 40, 120), 2.5));
        P.drawPolyline(QPolygonF{{2, 8}, {8, 4}, {14, 8}, {21, 4}});
        P.setPen(QPen(QColor(170, 40, 120), 2.5, Qt::DashLine));
        P.drawPolyline(QPolygonF{{2, 19}, {8, 15}, {14, 19}, {21, 15}});
        P.setPen(QPen(QColor(60, 60, 60), 1.5));
        P.drawLine(QPointF(11, 9), QPointF(11, 14));
        P.drawLine(QPointF(9, 12), QPointF(11, 14));
        P.drawLine(QPointF(13, 12), QPointF(11, 14));
    });
}

QImage ProgramIconImage(int Size)
{
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter P(&image);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / 64.0, Size / 64.0);
    const QColor layers[] = {QColor(236, 214, 150), QColor(205, 150, 90), QColor(150, 110, 80), QColor(95, 110, 140)};
    P.setPen(QPen(QColor(40, 40, 50), 1.5));
    P.setBrush(layers[0]);
    P.drawRoundedRect(QRectF(4, 4, 56, 56), 8, 8);
    for (int i = 1; i < 4; ++i) {
        QPainterPath band;
        const double y = 4 + 14.0 * i;
        band.moveTo(4.8, y + 4);
        band.cubicTo(20, y - 6, 40, y + 10, 59.2, y);
        band.lineTo(59.2, 52);
        band.quadTo(59.2, 59.2, 52, 59.2);
        band.lineTo(12, 59.2);
        band.quadTo(4.8, 59.2, 4.8, 52);
        band.closeSubpath();
        P.setBrush(layers[i]);
        P.drawPath(band);
    }
    P.setBrush(QColor(200, 30, 30));
    P.setPen(Qt::NoPen);
    for (QPointF node : {QPointF(20, 23), QPointF(40, 30), QPointF(31, 44)})
        P.drawEllipse(node, 3.5, 3.5);
    return image;
}

QImage SplashImage()
{
    QImage image(420, 240, QImage::Format_RGB32);
    QPainter P(&image);
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 240);
    sky.setColorAt(0, QColor(42, 58, 92));
    sky.setColorAt(1, QColor(18, 24, 40));
    P.fillRect(image.rect(), sky);
    P.drawImage(QRect(24, 40, 96, 96), ProgramIconImage(96));
    P.setPen(Qt::white);
    P.setFont(QFont(QStringLiteral("Liberation Sans"), 30, QFont::Bold));
    P.drawText(QRect(136, 50, 270, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lithoprism"));
    P.setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    P.setPen(QColor(200, 210, 230));
    P.drawText(QRect(136, 100, 270, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Section editor"));
    P.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    P.drawText(QRect(24, 190, 380, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Geological cross-sections over their scanned pictures"));
    return image;
}

} // namespace lp
