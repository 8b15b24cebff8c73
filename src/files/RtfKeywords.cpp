#include "files/RtfKeywords.h"

#include <string>
#include <unordered_map>

namespace vantle {

namespace {

using Table = std::unordered_map<std::string_view, RtfWord>;

Table makeTable() {
    Table t;
    const auto word = [&t](std::string_view name, RtfKeyword keyword) { t[name] = {keyword, 0}; };
    const auto character = [&t](std::string_view name, char16_t c) {
        t[name] = {RtfKeyword::Character, c};
    };
    word("fonttbl", RtfKeyword::FontTable);
    word("colortbl", RtfKeyword::ColorTable);
    // Groups whose content is never text of the document.
    for (std::string_view name : {"stylesheet",
                                  "info",
                                  "header",
                                  "headerl",
                                  "headerr",
                                  "headerf",
                                  "footer",
                                  "footerl",
                                  "footerr",
                                  "footerf",
                                  "listtable",
                                  "listoverridetable",
                                  "revtbl",
                                  "rsidtbl",
                                  "filetbl",
                                  "pgdsctbl",
                                  "xmlnstbl",
                                  "themedata",
                                  "colorschememapping",
                                  "latentstyles",
                                  "datastore",
                                  "generator",
                                  "footnote",
                                  "annotation",
                                  "atnid",
                                  "atnauthor",
                                  "bkmkstart",
                                  "bkmkend",
                                  "xe",
                                  "tc",
                                  "txe",
                                  "private",
                                  "userprops",
                                  "docvar",
                                  "nonshppict",
                                  "fldtype",
                                  "datafield",
                                  "formfield",
                                  "mmathPr",
                                  "pnseclvl",
                                  "pntxta",
                                  "pntxtb",
                                  "shpinst",
                                  "shptxt",
                                  "objdata",
                                  "result",
                                  "expandedcolortbl",
                                  "panose",
                                  "falt",
                                  "fontemb",
                                  "fontfile",
                                  "template",
                                  "picprop",
                                  "blipuid",
                                  "wgrffmtfilter",
                                  "ftnsep",
                                  "ftnsepc",
                                  "aftnsep",
                                  "aftnsepc",
                                  "pgptbl",
                                  "protusertbl",
                                  "oldcprops",
                                  "oldpprops",
                                  "oldtprops",
                                  "oldsprops"})
        word(name, RtfKeyword::SkippedDestination);
    word("pict", RtfKeyword::Picture);
    word("object", RtfKeyword::Object);
    word("NeXTGraphic", RtfKeyword::NeXTGraphic);
    word("field", RtfKeyword::Field);
    word("fldinst", RtfKeyword::FieldInstruction);
    word("fldrslt", RtfKeyword::FieldResult);
    word("shppict", RtfKeyword::ShapePicture);

    word("rtf", RtfKeyword::Rtf);
    word("ansicpg", RtfKeyword::AnsiCodePage);
    word("ansi", RtfKeyword::Ansi);
    word("mac", RtfKeyword::Mac);
    word("pc", RtfKeyword::Pc);
    word("pca", RtfKeyword::Pca);
    word("deff", RtfKeyword::DefaultFont);
    word("fcharset", RtfKeyword::FontCharset);
    word("red", RtfKeyword::Red);
    word("green", RtfKeyword::Green);
    word("blue", RtfKeyword::Blue);
    word("bin", RtfKeyword::Binary);

    word("plain", RtfKeyword::Plain);
    word("f", RtfKeyword::Font);
    word("fs", RtfKeyword::FontSize);
    word("b", RtfKeyword::Bold);
    word("i", RtfKeyword::Italic);
    for (std::string_view name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                  "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                  "ulthldash", "ululdbwave", "ulw", "ulwave"})
        word(name, RtfKeyword::Underline);
    word("ulnone", RtfKeyword::UnderlineNone);
    word("cf", RtfKeyword::Color);
    word("u", RtfKeyword::Unicode);
    word("uc", RtfKeyword::UnicodeSkip);

    word("pard", RtfKeyword::ParagraphDefaults);
    word("ql", RtfKeyword::AlignLeft);
    word("qr", RtfKeyword::AlignRight);
    word("qc", RtfKeyword::AlignCenter);
    word("qj", RtfKeyword::AlignJustified);
    word("li", RtfKeyword::LeftIndent);
    word("fi", RtfKeyword::FirstLineIndent);

    word("par", RtfKeyword::Paragraph);
    word("sect", RtfKeyword::Paragraph);
    word("page", RtfKeyword::Paragraph);
    word("line", RtfKeyword::Line);
    word("tab", RtfKeyword::Tab);
    word("cell", RtfKeyword::Cell);
    word("nestcell", RtfKeyword::Cell);
    word("row", RtfKeyword::Row);
    word("nestrow", RtfKeyword::Row);

    character("emdash", 0x2014);
    character("endash", 0x2013);
    character("bullet", 0x2022);
    character("lquote", 0x2018);
    character("rquote", 0x2019);
    character("ldblquote", 0x201C);
    character("rdblquote", 0x201D);
    character("emspace", 0x2003);
    character("enspace", 0x2002);
    character("qmspace", 0x2005);
    character("zwj", 0x200D);
    character("zwnj", 0x200C);
    character("ltrmark", 0x200E);
    character("rtlmark", 0x200F);
    return t;
}

} // namespace

RtfWord lookupRtfWord(std::string_view word) {
    static const Table table = makeTable();
    const auto it = table.find(word);
    return it == table.end() ? RtfWord{} : it->second;
}

} // namespace vantle
