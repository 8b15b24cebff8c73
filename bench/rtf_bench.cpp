// Reads and converts generated RTF documents of growing size; the time must grow linearly.
#include "files/FSNodeInfo.h"
#include "files/RtfReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

using namespace vantle;

namespace {

constexpr qsizetype kKilobyte = 1024;
constexpr qsizetype kMegabyte = 1024 * kKilobyte;
constexpr int kRepeats = 3;
constexpr float kScaleFactor = 0.75f;
constexpr int kFonts = 4;
constexpr int kColors = 5;

QByteArray header() {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
           "Roman;}{\\f1\\fswiss\\fcharset0 Helvetica;}{\\f2\\fmodern\\fcharset0 Courier;}"
           "{\\f3\\fswiss\\fcharset0 Arial;}}\n{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0"
           "\\blue0;\\red0\\green120\\blue0;\\red0\\green0\\blue200;\\red120\\green120\\blue120;}"
           "\n";
}

// Paragraphs of mixed fonts, sizes, colours, styles, alignments and a link now and then.
QByteArray document(qsizetype targetBytes) {
    static const char* const alignments[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
    QByteArray rtf = header();
    rtf.reserve(targetBytes + kKilobyte);
    for (int paragraph = 0; rtf.size() < targetBytes; ++paragraph) {
        rtf += "\\pard";
        rtf += alignments[paragraph % 4];
        rtf += paragraph % 3 == 0 ? "\\fi720 " : " ";
        for (int run = 0; run < 8; ++run) {
            const int n = paragraph * 8 + run;
            rtf += QByteArray("{\\f") + QByteArray::number(n % kFonts) + "\\fs" +
                   QByteArray::number(20 + 2 * (n % 6)) + "\\cf" +
                   QByteArray::number(n % kColors + 1) + (n % 5 == 0 ? "\\b" : "") +
                   (n % 7 == 0 ? "\\i" : "") + (n % 11 == 0 ? "\\ul" : "") + " ";
            if (n % 13 == 0)
                rtf += "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt ";
            rtf += "The quick brown fox jumps over the lazy dog, caf\\'e9 \\u8212\\'97 <tag> ";
            if (n % 13 == 0) rtf += "}}";
            rtf += "}";
        }
        rtf += "\\par\n";
    }
    rtf += "}";
    return rtf;
}

double secondsToConvert(const QByteArray& rtf) {
    double best = 0;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto text = RtfReader::read(rtf);
        const QString html = text ? FSNodeInfo::convertToHtml(*text, kScaleFactor) : QString();
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (html.isEmpty()) std::printf("conversion failed\n");
        best = i == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray small = document(100 * kKilobyte);
    const QByteArray medium = document(kMegabyte);
    const QByteArray large = document(10 * kMegabyte);
    const double smallSeconds = secondsToConvert(small);
    const double mediumSeconds = secondsToConvert(medium);
    const double largeSeconds = secondsToConvert(large);
    const auto mbps = [](const QByteArray& data, double seconds) {
        return data.size() / double(kMegabyte) / seconds;
    };
    std::printf("100 KB: %.4f s (%.1f MB/s)\n", smallSeconds, mbps(small, smallSeconds));
    std::printf("1 MB:   %.4f s (%.1f MB/s)\n", mediumSeconds, mbps(medium, mediumSeconds));
    std::printf("10 MB:  %.4f s (%.1f MB/s)\n", largeSeconds, mbps(large, largeSeconds));
    std::printf("10 MB / 1 MB time: %.2fx (linear is 10x)\n", largeSeconds / mediumSeconds);
    std::printf("RESULT rtf_1mb_s=%.4f rtf_10mb_s=%.4f rtf_mbps=%.1f\n", mediumSeconds,
                largeSeconds, mbps(large, largeSeconds));
    return 0;
}
