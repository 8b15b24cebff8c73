#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QXmlStreamReader>
#include <cstdint>
#include <optional>

namespace vantle::plist {

// Decodes an XML property list. Refuses DTD internal subsets, entity references other than the
// five predefined ones, unknown elements and stray text, so a document cannot expand beyond what
// its bytes spell out; and stops at `maxValues` values.
class PlistXmlReader {
public:
    PlistXmlReader(const QByteArray& bytes, uint64_t maxValues);

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
    bool countValue();
    bool fail(const QString& what);

    QXmlStreamReader mXml;
    uint64_t mMaxValues = 0;
    uint64_t mValues = 0;
    QString mError;
};

} // namespace vantle::plist
