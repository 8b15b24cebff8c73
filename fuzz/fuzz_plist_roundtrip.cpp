// Whatever a reader accepts, both writers write and the readers give back unchanged: the binary
// form exactly, the XML form with dates cut to whole seconds. XML may refuse strings with
// characters it cannot carry.

#include "platform/Plist.h"
#include "platform/PlistValue.h"

#include <QDateTime>
#include <cstddef>
#include <cstdint>

namespace {

QVariant wholeSeconds(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime().toUTC();
        const QTime time = date.time();
        return QDateTime(date.date(), QTime(time.hour(), time.minute(), time.second()), Qt::UTC);
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant& item : value.toList())
            list << wholeSeconds(item);
        return list;
    }
    case QMetaType::QVariantMap: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto i = source.cbegin(); i != source.cend(); ++i)
            map.insert(i.key(), wholeSeconds(i.value()));
        return map;
    }
    default:
        return value;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantle::plist;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const vantle::Result<Document> first = read(bytes);
    if (!first) return 0;

    QString error;
    const QByteArray binary = writeBinary(first->value, &error);
    if (binary.isEmpty()) __builtin_trap(); // everything a reader returns can be written in binary
    const vantle::Result<QVariant> second = readBinary(binary);
    if (!second || !sameValue(*second, first->value)) __builtin_trap();

    const QByteArray xml = writeXml(first->value, &error);
    if (xml.isEmpty()) return 0;
    const vantle::Result<QVariant> third = readXml(xml);
    if (!third || !sameValue(*third, wholeSeconds(first->value))) __builtin_trap();
    return 0;
}
