#include "files/FSNodeInfo.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

const QString kHeader =
    "<html ><meta name = \"viewport\" content = \"width=500\"><meta "
    u"http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><body><div>"_s;
const QString kFooter = u"</div></body></html>"_s;

TextAttributes paragraph(TextAlignment alignment, double indent = 0) {
    TextAttributes a;
    a.paragraphStyle = ParagraphStyle{alignment, indent};
    return a;
}

TextAttributes font(const QString& name, double size) {
    TextAttributes a;
    a.font = FontAttribute{name, size};
    return a;
}

QString page(const QString& body) {
    return kHeader + body + kFooter;
}

} // namespace

// The HTML page the phone shows for a rich-text upload, run by run.
class TestRtfHtml : public QObject {
    Q_OBJECT

private slots:
    void emptyTextMakesNoPage() { QCOMPARE(FSNodeInfo::convertToHtml({}, 0.75f), QString()); }

    void plainRunIsItsTextAlone() {
        AttributedString s;
        s.append(QStringLiteral("hello"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page(u"hello"_s));
    }

    void alignmentChangesOpenDivisions() {
        AttributedString s;
        s.append(QStringLiteral("a\n"), paragraph(TextAlignment::Left));
        s.append(QStringLiteral("b\n"), paragraph(TextAlignment::Center));
        s.append(QStringLiteral("c"), paragraph(TextAlignment::Left));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page(u"a<br />\n</div><div align=\"center\">b<br />\n</div><div "_s
                      "align=\"left\">c"));
    }

    void alignmentNames() {
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Left), u"left"_s);
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Right), u"right"_s);
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Center), u"center"_s);
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Justified), u"justify"_s);
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Natural), u"left"_s);
    }

    void fontSizesScaleAndTruncate() {
        AttributedString s;
        s.append(QStringLiteral("x"), font(u"Helvetica"_s, 12));
        s.append(QStringLiteral("y"), font(u"Helvetica"_s, 13));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page(u"<font style=\"font-family: Helvetica,Verdana; font-size: 9pt; \">x</font>"_s
                      "<font style=\"font-family: Helvetica,Verdana; font-size: 9pt; \">y</font>"));
    }

    void boldAndItalicFromTheFontName() {
        AttributedString s;
        s.append(QStringLiteral("x"), font(u"Times-bOLDiTALIC"_s, 24));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.5f),
                 page(u"<font style=\"font-family: Times-bOLDiTALIC,Verdana; font-size: 12pt; "_s
                      "font-style: italic; font-weight: bold;\"><i><b>x</b></i></font>"));
    }

    // Underline closes before bold and italic, the link after them, then colour, then font.
    void closingOrder() {
        TextAttributes a = font(u"Helvetica-Bold"_s, 12);
        a.underlineStyle = 1;
        a.foregroundColor = RgbColor{1.0, 0.5, 0.0};
        a.link = QStringLiteral("https://example.org/");
        AttributedString s;
        s.append(QStringLiteral("go"), a);
        QCOMPARE(FSNodeInfo::convertToHtml(s, 1.0f),
                 page(u"<font style=\"font-family: Helvetica-Bold,Verdana; font-size: 12pt; "_s
                      "font-weight: bold;\"><b><u><font style=\"color: #ff7f00;\">"
                      "<a href=\"https://example.org/\">go</u></b></a></font></font>"));
    }

    void colorBytesSurviveTheTableRoundTrip() {
        for (int value = 0; value <= 255; ++value) {
            TextAttributes a;
            a.foregroundColor = RgbColor{value / 255.0, 0, 1.0};
            AttributedString s;
            s.append(QStringLiteral("c"), a);
            const QString expected =
                u"<font style=\"color: #"_s +
                QString::number(value, 16).rightJustified(2, QLatin1Char('0')) +
                u"00ff;\">c</font>"_s;
            QCOMPARE(FSNodeInfo::convertToHtml(s, 1.0f), page(expected));
        }
    }

    void markupInTextIsEscaped() {
        AttributedString s;
        s.append(QStringLiteral("a<b>&c"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page(u"a&lt;b&gt;&amp;c"_s));
    }

    // Values from the document can't leave their attribute.
    void attributeValuesAreQuoted() {
        TextAttributes a = font(u"Evil\"><script>"_s, 12);
        a.link = QStringLiteral("x\" onclick=\"y");
        AttributedString s;
        s.append(QStringLiteral("t"), a);
        const QString html = FSNodeInfo::convertToHtml(s, 1.0f);
        QVERIFY(!html.contains(u"<script>"_s));
        QVERIFY(html.contains(u"href=\"x&quot; onclick=&quot;y\""_s));
    }

    void lineBreaksAndIndentation() {
        AttributedString s;
        s.append(QStringLiteral("line1\r\nline2\n"), paragraph(TextAlignment::Left, 18));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page(u"&nbsp;&nbsp;line1<br />line2<br />\n&nbsp;&nbsp;"_s));
    }

    void indentIsNinePointsPerSpace() {
        AttributedString s;
        s.append(QStringLiteral("a"), paragraph(TextAlignment::Left, 36));
        s.append(QStringLiteral("b"), paragraph(TextAlignment::Left, 8));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page(u"&nbsp;&nbsp;&nbsp;&nbsp;ab"_s));
    }

    void lonelyCarriageReturnIsALineBreak() {
        AttributedString s;
        s.append(QStringLiteral("a\rb\r"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page(u"a<br />b<br />\n"_s));
    }

    void attachmentWritesOnlyItsParagraph() {
        TextAttributes a = paragraph(TextAlignment::Center, 9);
        a.attachment = true;
        a.font = FontAttribute{u"Helvetica"_s, 12};
        a.foregroundColor = RgbColor{};
        AttributedString s;
        s.append(QString(AttributedString::kAttachmentCharacter), a);
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page(u"</div><div align=\"center\">&nbsp;"_s));
    }

    void spacesAndTabs() {
        AttributedString s;
        s.append(QStringLiteral("a  b   c\td"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page(u"a&nbsp;&nbsp;b&nbsp;&nbsp; c&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;d"_s));
    }

    void substituteOfUnreadableFileIsEmptyData() {
        const QByteArray missing = FSNodeInfo::htmlSubstituteForRtf(u"/nonexistent/x.rtf"_s);
        QVERIFY(missing.isEmpty() && !missing.isNull());
    }

    // One-letter runs under the widest indent make about a thousand bytes of page per input byte
    // pair; such a page could never be sent, so the substitute stays empty instead of eating
    // memory.
    void runawayPageGivesEmptySubstitute() {
        QByteArray rtf = "{\\rtf1{\\fonttbl\\f0 " + QByteArray(200, 'F') + ";}\\fi31680 ";
        constexpr int kRunPairs = 40000;
        for (int n = 0; n < kRunPairs; ++n)
            rtf += "\\b x\\b0 x";
        rtf += "}";
        QTemporaryDir dir;
        QFile file(dir.filePath(u"wide.rtf"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(rtf), qint64{rtf.size()});
        file.close();
        const QByteArray html = FSNodeInfo::htmlSubstituteForRtf(file.fileName());
        QVERIFY(html.isEmpty() && !html.isNull());

        // The same runs a hundred times fewer still make their page.
        AttributedString s;
        for (int n = 0; n < kRunPairs / 100; ++n) {
            s.append(QStringLiteral("x"), font(u"Helvetica-Bold"_s, 12));
            s.append(QStringLiteral("x"), font(u"Helvetica"_s, 12));
        }
        QVERIFY(FSNodeInfo::convertToHtml(s, 0.75f).endsWith(kFooter));

        // Tabs grow thirtyfold only at the end, when the spaces are made hard.
        AttributedString tabs;
        tabs.append(QString(1 << 22, QLatin1Char('\t')), {});
        QCOMPARE(FSNodeInfo::convertToHtml(tabs, 0.75f), QString());
    }
};

QTEST_MAIN(TestRtfHtml)
#include "tst_RtfHtml.moc"
