#pragma once
// Small helpers for exact pixel tests: a white image with a device context,
// and an ASCII picture of it ('.' white, '#' black, letters for a few
// colours, '?' anything else) that assertions compare line by line.

#include "platform/graphics/PainterDC.h"

#include <QtGui/QImage>

#include <memory>
#include <string>

namespace lp::test {

struct Surface {
    QImage image;
    std::unique_ptr<TPainterDC> dc;

    Surface(int width, int height)
        : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        dc = std::make_unique<TPainterDC>(image);
    }

    // The picture, after the painter has finished.
    std::string Art()
    {
        dc->Finish();
        std::string art;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                art += Symbol(image.pixel(x, y) & 0xFFFFFF);
            art += '\n';
        }
        return art;
    }

    TColor At(int x, int y)
    {
        dc->Finish();
        return FromQColor(QColor(image.pixel(x, y)));
    }

    // The smallest rectangle holding every pixel that is not white.
    QRect Inked()
    {
        dc->Finish();
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    int Count(TColor color)
    {
        dc->Finish();
        const QRgb wanted = ToQColor(color).rgb() & 0xFFFFFF;
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += (image.pixel(x, y) & 0xFFFFFF) == wanted;
        return count;
    }

    static char Symbol(QRgb rgb)
    {
        switch (rgb) {
        case 0xFFFFFF: return '.';
        case 0x000000: return '#';
        case 0xFF0000: return 'r';
        case 0x00FF00: return 'g';
        case 0x0000FF: return 'b';
        case 0xFFFF00: return 'y';
        case 0x808080: return 'x';
        default: return '?';
        }
    }
};

// Joins picture rows given one per argument.
inline std::string Rows(std::initializer_list<const char*> rows)
{
    std::string art;
    for (const char* row : rows) {
        art += row;
        art += '\n';
    }
    return art;
}

} // namespace lp::test
