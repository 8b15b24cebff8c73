#include "files/RtfCodePage.h"

#include <array>

namespace vantle {

namespace {

constexpr unsigned char kFirstWindowsOnly = 0x80;
constexpr unsigned char kFirstLatin1Again = 0xA0;

// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstWindowsOnly && byte < kFirstLatin1Again)
            *out++ = QChar(kWindows1252High[byte - kFirstWindowsOnly]);
        else
            *out++ = QChar(static_cast<char16_t>(byte));
    }
    return text;
}

struct CharsetCodePage {
    int charset;
    int codePage;
};

constexpr std::array<CharsetCodePage, 16> kCharsets = {{{0, 0},
                                                        {1, 0},
                                                        {2, 1252}, // symbol: keep the bytes
                                                        {77, 10000},
                                                        {128, 932},
                                                        {129, 949},
                                                        {134, 936},
                                                        {136, 950},
                                                        {161, 1253},
                                                        {162, 1254},
                                                        {177, 1255},
                                                        {178, 1256},
                                                        {186, 1257},
                                                        {204, 1251},
                                                        {222, 874},
                                                        {238, 1250}}};

QString codecNameFor(int codePage) {
    switch (codePage) {
    case 10000:
        return QStringLiteral("macintosh");
    case 932:
        return QStringLiteral("Shift_JIS");
    case 936:
        return QStringLiteral("GBK");
    case 949:
        return QStringLiteral("EUC-KR");
    case 950:
        return QStringLiteral("Big5");
    case 437:
        return QStringLiteral("IBM437");
    case 850:
        return QStringLiteral("IBM850");
    default:
        return QStringLiteral("windows-%1").arg(codePage);
    }
}

} // namespace

int RtfCodePage::codePageForCharset(int charset) {
    for (const auto& entry : kCharsets)
        if (entry.charset == charset) return entry.codePage;
    return 0;
}

QStringDecoder* RtfCodePage::decoderFor(int codePage) {
    auto it = mDecoders.find(codePage);
    if (it == mDecoders.end()) {
        auto decoder =
            std::make_shared<QStringDecoder>(codecNameFor(codePage).toLatin1().constData());
        if (!decoder->isValid()) decoder.reset();
        it = mDecoders.insert(codePage, decoder);
    }
    return it->get();
}

QString RtfCodePage::decode(const QByteArray& bytes, int codePage) {
    if (codePage == kUtf8) return QString::fromUtf8(bytes);
    if (codePage != kWestern) {
        if (QStringDecoder* decoder = decoderFor(codePage)) {
            decoder->resetState();
            return decoder->decode(bytes);
        }
    }
    // Unknown code pages read as Western: the most a wrong guess costs is a few odd letters.
    return decodeWindows1252(bytes);
}

} // namespace vantle
