#pragma once

#include "platform/PlistValue.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

namespace vantle::plist {

// Encodes a value as "bplist00" bytes the way Apple's writer lays them out: strings and integers
// stored once and shared, booleans shared, smallest integer, offset and reference widths. The
// output is sized exactly before writing, so data values are copied once.
class PlistBinaryWriter {
public:
    PlistBinaryWriter();
    ~PlistBinaryWriter();
    PlistBinaryWriter(const PlistBinaryWriter&) = delete;
    PlistBinaryWriter& operator=(const PlistBinaryWriter&) = delete;

    QByteArray write(const QVariant& value, QString* error);

    // One object of the output, in output order.
    struct Object {
        union {
            const void* item; // QString, QByteArray, QVariantList or QVariantMap
            qint64 integer;
            quint64 unsignedInteger;
            double real; // also dates, as reference seconds
        };
        uint32_t refStart; // first of a container's references
        ValueKind kind;
        bool ascii;
    };
    // Working tables, kept per thread between writes so that steady traffic does not allocate.
    struct Tables {
        std::vector<Object> objects;
        std::vector<uint32_t> refs;
        std::vector<uint32_t> shared; // open-addressing set of object index + 1
    };

private:
    bool flatten(const QVariant& value, int depth, uint32_t* index);
    bool flattenString(const QString& text, uint32_t* index);
    bool flattenInteger(qint64 number, uint32_t* index);
    bool flattenContainer(const QVariant& value, ValueKind kind, int depth, uint32_t* index);
    bool add(const Object& object, uint64_t payloadBytes, uint32_t* index);
    uint32_t* sharedSlot(size_t hash, const Object& probe);
    char* writeObject(char* out, const Object& object) const;

    Tables& mTables;
    uint32_t mBools[2] = {0, 0}; // object index + 1
    uint64_t mPayloadBytes = 0;  // everything but the references
    int mRefSize = 0;
    QString mError;
};

} // namespace vantle::plist
