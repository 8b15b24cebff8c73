#pragma once

#include <QImage>
#include <QString>

namespace vantle {

// The application's own artwork, looked up by name ("iconfolder", "iconpdf", ...). Images are drawn
// at double density: kIconPoints square in logical size, devicePixelRatio kIconScale.
class NamedImages {
public:
    static constexpr int kIconPoints = 32;
    static constexpr int kIconScale = 2;

    // A null image when no artwork of that name exists.
    static QImage imageNamed(const QString& name);

    // A transparent image of `points` logical size at double density, ready to draw into.
    static QImage blankImage(int points);
};

} // namespace vantle
