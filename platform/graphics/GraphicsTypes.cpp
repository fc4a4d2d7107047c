#include "platform/graphics/GraphicsTypes.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace lp {

namespace {

// Light defaults for the system colour indices, used without a desktop.
constexpr TColor kDefaultSystemColors[] = {
    0xC8C8C8, 0x000000, 0xD77800, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0xFFFFFF, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0xF0F0F0, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xD77800, 0xF0F0F0};

// The palette role that stands for a system colour index, or -1.
int PaletteRole(int index)
{
    switch (index) {
    case 4: return QPalette::Window;          // menu
    case 5: return QPalette::Base;            // window background
    case 7: return QPalette::WindowText;      // menu text
    case 8: return QPalette::Text;            // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;         // button face
    case 16: return QPalette::Mid;            // button shadow
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;          // button highlight
    case 21: return QPalette::Shadow;
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return -1;
    }
}

} // namespace

TColor ColorToRGB(TColor color)
{
    if ((color & clSystemColor) == 0)
        return color;
    const int index = color & 0xFF;
    const int role = PaletteRole(index);
    if (role >= 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return FromQColor(QGuiApplication::palette().color(static_cast<QPalette::ColorRole>(role)));
    return index < static_cast<int>(std::size(kDefaultSystemColors)) ? kDefaultSystemColors[index] : clBlack;
}

namespace {

// The relative luminance of an RGB colour (0 black .. 1 white).
double Luminance(TColor rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(rgb)) + 0.7152 * linear(GetGValue(rgb)) + 0.0722 * linear(GetBValue(rgb));
}

} // namespace

double ContrastRatio(TColor a, TColor b)
{
    const double la = Luminance(ColorToRGB(a) & 0xFFFFFF);
    const double lb = Luminance(ColorToRGB(b) & 0xFFFFFF);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ReadableTextColor(TColor background, TColor preferred)
{
    if (ContrastRatio(background, preferred) >= 4.5)
        return preferred;
    return ContrastRatio(background, clBlack) >= ContrastRatio(background, clWhite) ? clBlack : clWhite;
}

QColor ToQColor(TColor color)
{
    if (color == clNone || color == clDefault)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}

std::optional<TColor> ColorOfIdent(const QString& Ident)
{
    static const std::pair<const char*, TColor> names[] = {
        {"clBlack", clBlack},       {"clMaroon", clMaroon},     {"clGreen", clGreen},
        {"clOlive", clOlive},       {"clNavy", clNavy},         {"clPurple", clPurple},
        {"clTeal", clTeal},         {"clGray", clGray},         {"clSilver", clSilver},
        {"clRed", clRed},           {"clLime", clLime},         {"clYellow", clYellow},
        {"clBlue", clBlue},         {"clFuchsia", clFuchsia},   {"clAqua", clAqua},
        {"clWhite", clWhite},       {"clNone", clNone},         {"clDefault", clDefault},
        {"clBtnFace", clBtnFace},   {"clBtnShadow", clBtnShadow}, {"clBtnHighlight", clBtnHighlight},
        {"clWindow", clWindow},     {"clWindowText", clWindowText},
    };
    for (const auto& [name, color] : names)
        if (Ident.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return color;
    return std::nullopt;
}

} // namespace lp
