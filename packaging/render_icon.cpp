// render-icon: draws the scalable program icon into the fixed-size PNGs of the hicolor theme, at
// build time, so the bitmaps never drift from the drawing.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <cstdio>

namespace {

enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2 };

int complain(const QString& text) {
    std::fprintf(stderr, "render-icon: %s\n", qUtf8Printable(text));
    return kFailed;
}

// Writes OUT/NxN/apps/NAME.png for one size N.
bool render(QSvgRenderer& renderer, int size, const QString& outDir, const QString& name) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    if (!QDir().mkpath(folder)) return false;
    return image.save(folder + u'/' + name + QStringLiteral(".png"), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    // Painting into an image needs no display, so no GUI application either.
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 4) {
        std::fputs("usage: render-icon SVG NAME OUTDIR SIZE...\n", stderr);
        return kUsage;
    }
    QSvgRenderer renderer(arguments[0]);
    if (!renderer.isValid()) return complain(arguments[0] + QStringLiteral(": not a usable SVG"));
    for (const QString& sizeText : arguments.mid(3)) {
        bool number = false;
        const int size = sizeText.toInt(&number);
        if (!number || size <= 0) return complain(sizeText + QStringLiteral(": not a size"));
        if (!render(renderer, size, arguments[2], arguments[1]))
            return complain(QStringLiteral("cannot write the %1 px icon").arg(size));
    }
    return kOk;
}
