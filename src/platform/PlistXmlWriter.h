#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace vantle::plist {

// Writes an XML property list with the standard header and DOCTYPE, tab-indented, dates in
// ISO 8601 (whole seconds, UTC) and data in base64.
class PlistXmlWriter {
public:
    QByteArray write(const QVariant& value, QString* error);

private:
    bool writeValue(const QVariant& value, int depth);
    bool writeText(QLatin1String element, const QString& text, int depth);
    void indent(int depth);
    void leaf(QLatin1String element, const QByteArray& text, int depth);
    void emptyElement(QLatin1String element, int depth);

    QByteArray mOut;
    QString mError;
};

} // namespace vantle::plist
