#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <memory>

namespace vantle {

// Turns the 8-bit text of an RTF document into Unicode, one Windows code page at a time.
class RtfCodePage {
public:
    static constexpr int kWestern = 1252;
    static constexpr int kUtf8 = 65001;
    static constexpr int kMacRoman = 10000;
    static constexpr int kDosUs = 437;
    static constexpr int kDosWestern = 850;

    // The code page a font's \fcharset stands for; 0 when it means "the document's".
    static int codePageForCharset(int charset);

    QString decode(const QByteArray& bytes, int codePage);

private:
    QStringDecoder* decoderFor(int codePage);

    QHash<int, std::shared_ptr<QStringDecoder>> mDecoders;
};

} // namespace vantle
