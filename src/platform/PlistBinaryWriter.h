#pragma once

#include "platform/PlistValue.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <deque>
#include <vector>

namespace vantle::plist {

// Encodes a value as "bplist00" bytes the way Apple's writer lays them out: strings, integers
// and booleans stored once and shared, smallest integer, offset and reference widths. The output
// is sized exactly before writing, so data values are copied once.
class PlistBinaryWriter {
public:
    QByteArray write(const QVariant& value, QString* error);

private:
    struct Object {
        const QVariant* value;
        ValueKind kind;
        bool ascii;
        uint64_t count;    // string units, data bytes or entries
        uint64_t refStart; // first of this container's references in mRefs
    };

    bool flatten(const QVariant& value, int depth, uint64_t* index);
    uint64_t add(const Object& object, uint64_t payloadBytes);
    char* writeObject(char* out, const Object& object) const;
    char* writeRefs(char* out, uint64_t start, uint64_t count) const;

    std::vector<Object> mObjects;
    std::vector<uint64_t> mRefs;
    std::deque<QVariant> mKeys; // dictionary keys as values, at stable addresses
    QHash<QString, uint64_t> mStrings;
    QHash<qint64, uint64_t> mIntegers;
    uint64_t mBools[2] = {UINT64_MAX, UINT64_MAX};
    uint64_t mPayloadBytes = 0; // everything but the references
    int mRefSize = 0;
    QString mError;
};

} // namespace vantle::plist
