#include "RtfControlWords.h"

#include <string_view>
#include <unordered_map>

namespace {

using Table = std::unordered_map<std::string_view, RtfControlWord>;

void addSkippedDestinations(Table& table)
{
    // Destinations whose text is never part of the body. Newer ones come behind \* and are skipped anyway.
    static constexpr std::string_view names[] = {
        "stylesheet",
        "info",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "atnid",
        "atnauthor",
        "nonshppict",
        "objdata",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "xmlnstbl",
        "listtable",
        "listoverridetable",
        "rsidtbl",
        "generator",
        "filetbl",
        "revtbl",
        "pgdsctbl",
        "bkmkstart",
        "bkmkend",
        "xe",
        "tc",
        "txe",
        "private",
        "template",
        "userprops",
        "docvar",
        "comment",
        "title",
        "subject",
        "author",
        "operator",
        "keywords",
        "doccomm",
        "company",
        "ftnsep",
        "ftnsepc",
        "ftncn",
        "aftnsep",
        "aftnsepc",
        "aftncn",
        "pn",
        "mmathPr",
        "fchars",
        "lchars",
        "wgrffmtfilter",
        "objclass",
        "objname",
    };
    for (const std::string_view name : names)
        table.emplace(name, RtfControlWord{RtfWord::SkippedDestination});
}

void addCharacters(Table& table)
{
    table.emplace("tab", RtfControlWord{RtfWord::Character, u'\t'});
    table.emplace("cell", RtfControlWord{RtfWord::Character, u'\t'});
    table.emplace("nestcell", RtfControlWord{RtfWord::Character, u'\t'});
    table.emplace("line", RtfControlWord{RtfWord::Character, u'\u2028'});
    table.emplace("emdash", RtfControlWord{RtfWord::Character, u'\u2014'});
    table.emplace("endash", RtfControlWord{RtfWord::Character, u'\u2013'});
    table.emplace("bullet", RtfControlWord{RtfWord::Character, u'\u2022'});
    table.emplace("lquote", RtfControlWord{RtfWord::Character, u'\u2018'});
    table.emplace("rquote", RtfControlWord{RtfWord::Character, u'\u2019'});
    table.emplace("ldblquote", RtfControlWord{RtfWord::Character, u'\u201C'});
    table.emplace("rdblquote", RtfControlWord{RtfWord::Character, u'\u201D'});
    table.emplace("emspace", RtfControlWord{RtfWord::Character, u'\u2003'});
    table.emplace("enspace", RtfControlWord{RtfWord::Character, u'\u2002'});
    table.emplace("qmspace", RtfControlWord{RtfWord::Character, u'\u2005'});
    table.emplace("zwj", RtfControlWord{RtfWord::Character, u'\u200D'});
    table.emplace("zwnj", RtfControlWord{RtfWord::Character, u'\u200C'});
}

void addWords(Table& table)
{
    static constexpr std::pair<std::string_view, RtfWord> words[] = {
        {"ansi", RtfWord::Ansi},
        {"mac", RtfWord::Mac},
        {"pc", RtfWord::Pc},
        {"pca", RtfWord::Pca},
        {"ansicpg", RtfWord::AnsiCodePage},
        {"deff", RtfWord::DefaultFont},
        {"fonttbl", RtfWord::FontTable},
        {"colortbl", RtfWord::ColorTable},
        {"pict", RtfWord::Picture},
        {"shppict", RtfWord::ShapePicture},
        {"field", RtfWord::Field},
        {"fldinst", RtfWord::FieldInstruction},
        {"fldrslt", RtfWord::FieldResult},
        {"NeXTGraphic", RtfWord::NeXTGraphic},
        {"upr", RtfWord::UnicodePair},
        {"ud", RtfWord::UnicodeAlternative},
        {"f", RtfWord::Font},
        {"fcharset", RtfWord::FontCharset},
        {"cpg", RtfWord::FontCodePage},
        {"red", RtfWord::Red},
        {"green", RtfWord::Green},
        {"blue", RtfWord::Blue},
        {"fs", RtfWord::FontSize},
        {"b", RtfWord::Bold},
        {"i", RtfWord::Italic},
        {"ul", RtfWord::Underline},
        {"uld", RtfWord::Underline},
        {"uldb", RtfWord::Underline},
        {"ulw", RtfWord::Underline},
        {"ulth", RtfWord::Underline},
        {"ulwave", RtfWord::Underline},
        {"uldash", RtfWord::Underline},
        {"ulnone", RtfWord::UnderlineNone},
        {"strike", RtfWord::StrikeOut},
        {"striked", RtfWord::StrikeOut},
        {"cf", RtfWord::Foreground},
        {"plain", RtfWord::Plain},
        {"pard", RtfWord::ParagraphDefault},
        {"ql", RtfWord::AlignLeft},
        {"qc", RtfWord::AlignCenter},
        {"qr", RtfWord::AlignRight},
        {"qj", RtfWord::AlignJustify},
        {"li", RtfWord::LeftIndent},
        {"ri", RtfWord::RightIndent},
        {"fi", RtfWord::FirstLineIndent},
        {"sb", RtfWord::SpaceBefore},
        {"sa", RtfWord::SpaceAfter},
        {"par", RtfWord::Paragraph},
        {"sect", RtfWord::Paragraph},
        {"page", RtfWord::Paragraph},
        {"row", RtfWord::Paragraph},
        {"u", RtfWord::Unicode},
        {"uc", RtfWord::UnicodeSkip},
        {"pngblip", RtfWord::PngBlip},
        {"jpegblip", RtfWord::JpegBlip},
        {"emfblip", RtfWord::OtherBlip},
        {"wmetafile", RtfWord::OtherBlip},
        {"pmmetafile", RtfWord::OtherBlip},
        {"dibitmap", RtfWord::OtherBlip},
        {"wbitmap", RtfWord::OtherBlip},
        {"macpict", RtfWord::OtherBlip},
        {"picwgoal", RtfWord::GoalWidth},
        {"pichgoal", RtfWord::GoalHeight},
        {"picscalex", RtfWord::ScaleX},
        {"picscaley", RtfWord::ScaleY},
    };
    for (const auto& [name, word] : words)
        table.emplace(name, RtfControlWord{word});
}

const Table& table()
{
    static const Table words = [] {
        Table built;
        addWords(built);
        addCharacters(built);
        addSkippedDestinations(built);
        return built;
    }();
    return words;
}

} // namespace

RtfControlWord RtfControlWords::lookup(QByteArrayView name)
{
    const auto found = table().find(std::string_view(name.data(), size_t(name.size())));
    return found == table().end() ? RtfControlWord{} : found->second;
}
