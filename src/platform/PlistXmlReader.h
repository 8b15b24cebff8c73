#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QXmlStreamReader>
#include <optional>

namespace vantle::plist {

// Decodes an XML property list. Refuses DTD internal subsets, entity references other than the
// five predefined ones, unknown elements and stray text, so a document cannot expand beyond what
// its bytes spell out.
class PlistXmlReader {
public:
    explicit PlistXmlReader(const QByteArray& bytes);

    // The value, or an invalid QVariant with error() set.
    QVariant read();
    const QString& error() const { return mError; }

private:
    enum class Next { Element, End, Failed };

    Next nextElement();
    std::optional<QVariant> readValue(int depth);
    std::optional<QVariant> readDictionary(int depth);
    std::optional<QVariant> readArray(int depth);
    std::optional<QVariant> readScalar(QStringView element);
    std::optional<QString> readText();
    bool checkDocumentEnd();
    bool fail(const QString& what);

    QXmlStreamReader mXml;
    QString mError;
};

} // namespace vantle::plist
