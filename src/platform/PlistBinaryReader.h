#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

namespace vantle::plist {

// Decodes "bplist00" bytes. Every object is decoded at most twice and then shared by all
// references to it, so the work is bounded by the input; the size of the resulting tree (which
// shared references can multiply) is capped at `maxValues`, so callers can walk it safely, and
// a container that would pass the cap is refused before anything is allocated for it.
class PlistBinaryReader {
public:
    PlistBinaryReader(const QByteArray& bytes, uint64_t maxValues);
    ~PlistBinaryReader();
    PlistBinaryReader(const PlistBinaryReader&) = delete;
    PlistBinaryReader& operator=(const PlistBinaryReader&) = delete;

    // The value, or an invalid QVariant with error() set.
    QVariant read();
    const QString& error() const { return mError; }

    enum class State : uint8_t { Unvisited, Decoding, Done, Kept };
    struct ObjectInfo {
        State state = State::Unvisited;
        uint16_t height = 0;   // nesting levels inside the object
        uint32_t treeSize = 0; // values in the object's tree, counting every reference
        uint32_t kept = 0;     // slot in Tables::kept once the state is Kept
    };
    // Working tables (values of objects referenced more than once), kept per thread between reads
    // so that steady traffic does not allocate.
    struct Tables {
        std::vector<QVariant> kept; // objects referenced more than once
        std::vector<ObjectInfo> info;
    };

private:
    bool parseTrailer();
    bool decode(uint64_t index, int enclosing, QVariant* out);
    bool decodeObject(uint64_t index, uint64_t offset, int enclosing, QVariant* result);
    bool decodeContainer(uint64_t index, uint8_t marker, uint64_t start, uint64_t count,
                         int enclosing, QVariant* result);
    bool decodeKey(uint64_t dictionary, uint64_t index, int enclosing, QString* key);
    QString asciiString(const uint8_t* bytes, uint64_t count);
    bool readCount(uint64_t offset, uint8_t lowNibble, uint64_t* count, uint64_t* payload);
    bool fits(uint64_t start, uint64_t count, uint64_t unit) const;
    uint64_t readUInt(uint64_t at, int width) const;
    bool fail(uint64_t index, const QString& what);

    const QByteArray& mBytes;
    const uint8_t* mData;
    uint64_t mObjectsEnd = 0; // objects lie in [magic, trailer)
    int mOffsetSize = 0;
    int mRefSize = 0;
    uint64_t mObjectCount = 0;
    uint64_t mTopObject = 0;
    uint64_t mTableOffset = 0;
    uint64_t mMaxTreeSize = 0;
    uint64_t mValuesAllocated = 0; // slots of every container decoded so far, and the top
    Tables& mTables;
    std::vector<QVariant>& mKept;
    std::vector<ObjectInfo>& mInfo;
    uint64_t mStringHits = 0;
    uint64_t mStringMisses = 0;
    QString mError;
};

} // namespace vantle::plist
