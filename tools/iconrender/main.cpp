// iconrender SVG OUTDIR SIZE...: writes OUTDIR/<size>x<size>/apps/rusena.png for each size,
// the layout of the hicolor icon theme.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool render(QSvgRenderer &svg, const QString &outDir, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();

    const QString dir = outDir + u'/' + QString::number(size) + u'x' + QString::number(size)
        + QStringLiteral("/apps");
    return QDir().mkpath(dir) && image.save(dir + QStringLiteral("/rusena.png"), "PNG");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fputs("usage: iconrender SVG OUTDIR SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "iconrender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0 || !render(svg, outDir, size)) {
            std::fprintf(stderr, "iconrender: cannot write size %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
