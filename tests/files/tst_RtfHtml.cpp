#include "files/FSNodeInfo.h"

#include <QtTest>

using namespace vantle;

namespace {

const QString kHeader =
    "<html ><meta name = \"viewport\" content = \"width=500\"><meta "
    "http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><body><div>";
const QString kFooter = "</div></body></html>";

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
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page("hello"));
    }

    void alignmentChangesOpenDivisions() {
        AttributedString s;
        s.append(QStringLiteral("a\n"), paragraph(TextAlignment::Left));
        s.append(QStringLiteral("b\n"), paragraph(TextAlignment::Center));
        s.append(QStringLiteral("c"), paragraph(TextAlignment::Left));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page("a<br />\n</div><div align=\"center\">b<br />\n</div><div "
                      "align=\"left\">c"));
    }

    void alignmentNames() {
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Left), "left");
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Right), "right");
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Center), "center");
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Justified), "justify");
        QCOMPARE(FSNodeInfo::stringForAlignment(TextAlignment::Natural), "left");
    }

    void fontSizesScaleAndTruncate() {
        AttributedString s;
        s.append(QStringLiteral("x"), font("Helvetica", 12));
        s.append(QStringLiteral("y"), font("Helvetica", 13));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page("<font style=\"font-family: Helvetica,Verdana; font-size: 9pt; \">x</font>"
                      "<font style=\"font-family: Helvetica,Verdana; font-size: 9pt; \">y</font>"));
    }

    void boldAndItalicFromTheFontName() {
        AttributedString s;
        s.append(QStringLiteral("x"), font("Times-bOLDiTALIC", 24));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.5f),
                 page("<font style=\"font-family: Times-bOLDiTALIC,Verdana; font-size: 12pt; "
                      "font-style: italic; font-weight: bold;\"><i><b>x</b></i></font>"));
    }

    // Underline closes before bold and italic, the link after them, then colour, then font.
    void closingOrder() {
        TextAttributes a = font("Helvetica-Bold", 12);
        a.underlineStyle = 1;
        a.foregroundColor = RgbColor{1.0, 0.5, 0.0};
        a.link = QStringLiteral("https://example.org/");
        AttributedString s;
        s.append(QStringLiteral("go"), a);
        QCOMPARE(FSNodeInfo::convertToHtml(s, 1.0f),
                 page("<font style=\"font-family: Helvetica-Bold,Verdana; font-size: 12pt; "
                      "font-weight: bold;\"><b><u><font style=\"color: #ff7f00;\">"
                      "<a href=\"https://example.org/\">go</u></b></a></font></font>"));
    }

    void colorBytesSurviveTheTableRoundTrip() {
        for (int value = 0; value <= 255; ++value) {
            TextAttributes a;
            a.foregroundColor = RgbColor{value / 255.0, 0, 1.0};
            AttributedString s;
            s.append(QStringLiteral("c"), a);
            const QString expected = "<font style=\"color: #" +
                                     QString::number(value, 16).rightJustified(2, '0') +
                                     "00ff;\">c</font>";
            QCOMPARE(FSNodeInfo::convertToHtml(s, 1.0f), page(expected));
        }
    }

    void markupInTextIsEscaped() {
        AttributedString s;
        s.append(QStringLiteral("a<b>&c"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page("a&lt;b&gt;&amp;c"));
    }

    // Values from the document can't leave their attribute.
    void attributeValuesAreQuoted() {
        TextAttributes a = font("Evil\"><script>", 12);
        a.link = QStringLiteral("x\" onclick=\"y");
        AttributedString s;
        s.append(QStringLiteral("t"), a);
        const QString html = FSNodeInfo::convertToHtml(s, 1.0f);
        QVERIFY(!html.contains("<script>"));
        QVERIFY(html.contains("href=\"x&quot; onclick=&quot;y\""));
    }

    void lineBreaksAndIndentation() {
        AttributedString s;
        s.append(QStringLiteral("line1\r\nline2\n"), paragraph(TextAlignment::Left, 18));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page("&nbsp;&nbsp;line1<br />line2<br />\n&nbsp;&nbsp;"));
    }

    void indentIsNinePointsPerSpace() {
        AttributedString s;
        s.append(QStringLiteral("a"), paragraph(TextAlignment::Left, 36));
        s.append(QStringLiteral("b"), paragraph(TextAlignment::Left, 8));
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page("&nbsp;&nbsp;&nbsp;&nbsp;ab"));
    }

    void lonelyCarriageReturnIsALineBreak() {
        AttributedString s;
        s.append(QStringLiteral("a\rb\r"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page("a<br />b<br />\n"));
    }

    void attachmentWritesOnlyItsParagraph() {
        TextAttributes a = paragraph(TextAlignment::Center, 9);
        a.attachment = true;
        a.font = FontAttribute{"Helvetica", 12};
        a.foregroundColor = RgbColor{};
        AttributedString s;
        s.append(QString(AttributedString::kAttachmentCharacter), a);
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f), page("</div><div align=\"center\">&nbsp;"));
    }

    void spacesAndTabs() {
        AttributedString s;
        s.append(QStringLiteral("a  b   c\td"), {});
        QCOMPARE(FSNodeInfo::convertToHtml(s, 0.75f),
                 page("a&nbsp;&nbsp;b&nbsp;&nbsp; c&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;d"));
    }

    void substituteOfUnreadableFileIsEmptyData() {
        const QByteArray missing = FSNodeInfo::htmlSubstituteForRtf("/nonexistent/x.rtf");
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
        QFile file(dir.filePath("wide.rtf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(rtf) == rtf.size());
        file.close();
        const QByteArray html = FSNodeInfo::htmlSubstituteForRtf(file.fileName());
        QVERIFY(html.isEmpty() && !html.isNull());

        // The same runs a hundred times fewer still make their page.
        AttributedString s;
        for (int n = 0; n < kRunPairs / 100; ++n) {
            s.append(QStringLiteral("x"), font("Helvetica-Bold", 12));
            s.append(QStringLiteral("x"), font("Helvetica", 12));
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
