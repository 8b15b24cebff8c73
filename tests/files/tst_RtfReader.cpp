#include "files/FSNodeInfo.h"
#include "files/RtfReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(VANTLE_TEST_DATA "/rtf/") + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

AttributedString read(const QByteArray& rtf) {
    const auto text = RtfReader::read(rtf);
    if (!text) qWarning("not read: %s", rtf.left(80).constData());
    return text.value_or(AttributedString{});
}

// The attributes at the first occurrence of `needle`.
TextAttributes attributesAt(const AttributedString& text, const QString& needle) {
    const qsizetype at = text.string().indexOf(needle);
    for (const auto& run : text.runs())
        if (at >= run.location && at < run.location + run.length) return run.attributes;
    return {};
}

// The text of the run holding the first occurrence of `needle`.
QString runAt(const AttributedString& text, const QString& needle) {
    const qsizetype at = text.string().indexOf(needle);
    for (const auto& run : text.runs())
        if (at >= run.location && at < run.location + run.length)
            return text.string().mid(run.location, run.length);
    return {};
}

RgbColor rgb(int r, int g, int b) {
    return RgbColor{r / 255.0, g / 255.0, b / 255.0};
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void libreOfficeDocument() {
        const AttributedString text = read(fixture("libreoffice.rtf"));
        const QString plain = text.string();
        QVERIFY(plain.startsWith(u"Plain serif text, then bold words, italic words and both at "_s
                                 "once.\nCentred red heading\n"));
        QVERIFY(plain.contains(
            QString::fromUtf8("café, naïve, Grüße, 1 < 2 > 0, “quotes” — dash, € sign, 日本語.")));
        QCOMPARE(runAt(text, u"bold words"_s), u"bold words"_s);
        QCOMPARE(attributesAt(text, u"bold words"_s).font->name, u"Liberation Serif-Bold"_s);
        QCOMPARE(attributesAt(text, u"italic words"_s).font->name, u"Liberation Serif-Italic"_s);
        QCOMPARE(attributesAt(text, u"both at once"_s).font->name,
                 u"Liberation Serif-BoldItalic"_s);
        QCOMPARE(attributesAt(text, u"Plain"_s).font->pointSize, 14.0);

        const TextAttributes heading = attributesAt(text, u"Centred"_s);
        QCOMPARE(heading.paragraphStyle->alignment, TextAlignment::Center);
        QCOMPARE(heading.foregroundColor, rgb(0xc0, 0, 0));
        QCOMPARE(heading.font->pointSize, 18.0);
        QCOMPARE(attributesAt(text, u"Right-aligned"_s).paragraphStyle->alignment,
                 TextAlignment::Right);
        QVERIFY(attributesAt(text, u"underlined text"_s).underlineStyle);
        QVERIFY(!attributesAt(text, u"Right-aligned"_s).underlineStyle);
        QCOMPARE(attributesAt(text, u"An indented"_s).paragraphStyle->firstLineHeadIndent, 36.0);
        QCOMPARE(attributesAt(text, u"the example site"_s).link,
                 QStringLiteral("https://example.org/docs?a=1&b=2"));
        QVERIFY(!attributesAt(text, u"A link"_s).link);
        QCOMPARE(plain.count(AttributedString::kAttachmentCharacter), 1);
        QVERIFY(attributesAt(text, QString(AttributedString::kAttachmentCharacter)).attachment);
        QCOMPARE(attributesAt(text, u"Blue text"_s).foregroundColor, rgb(0, 0x60, 0xc0));
    }

    void textEditDocument() {
        const AttributedString text = read(fixture("textedit.rtf"));
        const QString plain = text.string();
        QVERIFY(plain.startsWith(u"Plain Helvetica, then bold, italic and both.\n"_s));
        QCOMPARE(attributesAt(text, u"Plain"_s).font, (FontAttribute{u"Helvetica"_s, 12}));
        QCOMPARE(attributesAt(text, u"bold"_s).font->name, u"Helvetica-Bold"_s);
        QCOMPARE(attributesAt(text, u"italic"_s).font->name, u"Helvetica-Italic"_s);
        QCOMPARE(attributesAt(text, u"both"_s).font->name, u"Helvetica-BoldItalic"_s);
        QCOMPARE(attributesAt(text, u"Blue Times"_s).font, (FontAttribute{u"Times-Roman"_s, 14}));
        QVERIFY(!attributesAt(text, u"Plain"_s).foregroundColor); // \cf0: the default colour
        QCOMPARE(attributesAt(text, u"Centred"_s).foregroundColor, rgb(251, 2, 7));
        QCOMPARE(attributesAt(text, u"Centred"_s).paragraphStyle->alignment, TextAlignment::Center);
        QCOMPARE(attributesAt(text, u"An indented"_s).paragraphStyle->firstLineHeadIndent, 36.0);
        QCOMPARE(attributesAt(text, u"the example site"_s).link,
                 QStringLiteral("https://example.org/"));
        QVERIFY(plain.contains(QStringLiteral("a picture ") +
                               AttributedString::kAttachmentCharacter + u".\n"_s));
        QVERIFY(plain.endsWith(QString::fromUtf8("café, “quotes” — dash, € euro, 日本語.")));
    }

    void fixturesBecomePages() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"doc.rtf"_s);
        QVERIFY(QFile::copy(QStringLiteral(VANTLE_TEST_DATA "/rtf/textedit.rtf"), path));
        const QString html = QString::fromUtf8(FSNodeInfo::htmlSubstituteForRtf(path));
        QVERIFY(html.startsWith(u"<html ><meta name = \"viewport\""_s));
        QVERIFY(html.endsWith(u"</div></body></html>"_s));
        QVERIFY(html.contains(u"</div><div align=\"center\"><font style=\"font-family: "_s
                              "Helvetica,Verdana; font-size: 13pt; \"><font style=\"color: "
                              "#fb0207;\">Centred red heading<br />\n</font></font>"));
        QVERIFY(
            html.contains(u"<font style=\"font-family: Helvetica-Bold,Verdana; font-size: 9pt; "_s
                          "font-weight: bold;\"><b>bold</b></font>"));
        QVERIFY(html.contains(u"<a href=\"https://example.org/\">the example site</a>"_s));
        QVERIFY(html.contains(u"<u>underline</u>"_s));
        QVERIFY(!html.contains(QChar(0xAC)));
        QVERIFY(!html.contains(AttributedString::kAttachmentCharacter));

        const QString lo = FSNodeInfo::convertToHtml(read(fixture("libreoffice.rtf")), 0.75f);
        QVERIFY(lo.contains(u"1 &lt; 2 &gt; 0"_s));
        QVERIFY(
            lo.contains(u"<a href=\"https://example.org/docs?a=1&amp;b=2\">the example site"_s));
    }

    void emptyDocumentGivesEmptyData() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"empty.rtf"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}}");
        file.close();
        const QByteArray html = FSNodeInfo::htmlSubstituteForRtf(path);
        QVERIFY(html.isEmpty() && !html.isNull());
    }

    void unicodeAndItsFallbacks() {
        // \uN is followed by \ucN fallback characters to skip; a byte escape counts as one.
        QCOMPARE(read("{\\rtf1 a\\u233\\'e9b\\uc2\\u8364\\'80\\'80c\\uc0\\u8212 d}").string(),
                 QString::fromUtf8("aébۥc—d").replace(QString::fromUtf8("ۥ"), u"€"_s));
        QCOMPARE(read("{\\rtf1 \\u-10179?\\u-8704?}").string(), QString::fromUtf8("😀"));
        // Skipping never reaches across a group's end.
        QCOMPARE(read("{\\rtf1 {\\uc3\\u65 }BC}").string(), u"ABC"_s);
    }

    void escapesAndBreaks() {
        QCOMPARE(read("{\\rtf1 \\{x\\}\\\\y\\tab z\\line w\\par v\\~u\\-t\\emdash}").string(),
                 QString::fromUtf8("{x}\\y\tz\nw\nv\u00A0ut—"));
        QCOMPARE(read("{\\rtf1 one\\\ntwo\r\nthree}").string(), u"one\ntwothree"_s);
    }

    void codePages() {
        QCOMPARE(read("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}").string(),
                 QString::fromUtf8("При"));
        QCOMPARE(read("{\\rtf1\\ansi{\\fonttbl{\\f0 A;}{\\f1\\fcharset128 B;}}\\f1 \\'82\\'a0\\f0 "
                      "\\'80}")
                     .string(),
                 QString::fromUtf8("あ€"));
    }

    // Paragraph formatting belongs to the paragraph mark, wherever it was set.
    void paragraphFormatCoversTheWholeParagraph() {
        const AttributedString text = read("{\\rtf1 first \\qc\\li360\\fi360 \\par\\pard second}");
        QCOMPARE(attributesAt(text, u"first"_s).paragraphStyle,
                 (ParagraphStyle{TextAlignment::Center, 36}));
        QCOMPARE(attributesAt(text, u"second"_s).paragraphStyle, ParagraphStyle{});
    }

    void fontsWithoutTableOrSize() {
        const AttributedString text = read("{\\rtf1\\b x}");
        QCOMPARE(attributesAt(text, u"x"_s).font, (FontAttribute{u"Helvetica-Bold"_s, 12}));
        const AttributedString huge = read("{\\rtf1\\fs99999999999999 y\\fi-99999999999 \\par}");
        QCOMPARE(attributesAt(huge, u"y"_s).font->pointSize, 1638.0);
        QCOMPARE(attributesAt(huge, u"y"_s).paragraphStyle->firstLineHeadIndent, 0.0);
    }

    void skippedDestinations() {
        QCOMPARE(read("{\\rtf1{\\info{\\title T}}{\\*\\unknown junk}{\\stylesheet{\\s0 N;}}"
                      "{\\*\\fldinst IGNORED}x{\\pict\\pngblip 0123}y{\\nonshppict{\\pict 00}}z}")
                     .string(),
                 QStringLiteral("x") + AttributedString::kAttachmentCharacter + u"yz"_s);
        QCOMPARE(read("{\\rtf1{\\object{\\*\\objdata 00}{\\result{\\pict 00}}}a}").string(),
                 QString(AttributedString::kAttachmentCharacter) + u"a"_s);
    }

    void fieldsAndLinks() {
        const AttributedString text =
            read("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} "
                 "{\\field{\\*\\fldinst {HYPERLINK \\\\l \"part two\"}}{\\fldrslt "
                 "{\\plain go}}} after}");
        QCOMPARE(text.string(), u"3 go after"_s);
        QVERIFY(!attributesAt(text, u"3"_s).link);
        QCOMPARE(attributesAt(text, u"go"_s).link, QStringLiteral("#part two"));
        QVERIFY(!attributesAt(text, u"after"_s).link);
    }

    void binaryDataIsSkipped() {
        QByteArray rtf("{\\rtf1 a{\\pict\\bin4 }}{}}b}");
        QCOMPARE(read(rtf).string(),
                 QStringLiteral("a") + AttributedString::kAttachmentCharacter + u"b"_s);
    }

    // Hostile documents are refused whole, never half-trusted.
    void refusals() {
        QVERIFY(!RtfReader::read("plain text"));
        QVERIFY(!RtfReader::read(""));
        QVERIFY(!RtfReader::read("{\\rtf1 a\\bin100 xyz}"));
        QVERIFY(!RtfReader::read("{\\rtf1 a\\bin-5 xyz}"));
        const int depth = RtfReader::kMaxGroupDepth;
        QVERIFY(
            RtfReader::read("{\\rtf1" + QByteArray(depth - 1, '{') + "x" + QByteArray(depth, '}')));
        QVERIFY(!RtfReader::read("{\\rtf1" + QByteArray(depth, '{') + "x" +
                                 QByteArray(depth + 1, '}')));
    }

    void truncatedDocumentKeepsWhatWasRead() {
        QCOMPARE(read("{\\rtf1 {\\b bold} tail\\'4").string(), u"bold tail"_s);
        QCOMPARE(read("{\\rtf1 a}}} trailing").string(), u"a"_s);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_RtfReader.moc"
