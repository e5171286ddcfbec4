#include "RtfReader.h"

#include "RtfTokenizer.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

using Destination = RtfState::Destination;

constexpr QByteArrayView Signature = "{\\rtf";
// Indents and spacing beyond this (in twips, about 5.5 metres) are nonsense and would only upset the layout.
constexpr int MaxTwips = 100000;
constexpr int MaxHalfPoints = 3200;
constexpr int MaxUnicodeSkip = 64;
constexpr qsizetype MaxFieldInstruction = 8192;

bool isOn(bool hasParameter, int parameter)
{
    return !hasParameter || parameter != 0;
}

int twips(int parameter)
{
    return std::clamp(parameter, -MaxTwips, MaxTwips);
}

// The target of a HYPERLINK field instruction, e.g. HYPERLINK "https://example.com" \o "tip".
QString hyperlinkTarget(const QString& instruction)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*HYPERLINK\\s+(?:\"([^\"]*)\"|(\\S+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(instruction);
    if (!match.hasMatch())
        return {};
    return match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
}

} // namespace

bool RtfReader::isRtf(QByteArrayView bytes)
{
    return bytes.startsWith(Signature);
}

std::unique_ptr<QTextDocument> RtfReader::read(const QByteArray& rtf)
{
    return read(rtf, Options());
}

std::unique_ptr<QTextDocument> RtfReader::read(const QByteArray& rtf, const Options& options)
{
    if (!isRtf(rtf) || rtf.size() > options.maxInputBytes)
        return nullptr;
    RtfReader reader(options);
    return reader.parse(rtf);
}

RtfReader::RtfReader(const Options& options)
    : m_options(options), m_picture(options.maxPictureBytes), m_builder(m_fonts, m_colors)
{
}

std::unique_ptr<QTextDocument> RtfReader::parse(QByteArrayView input)
{
    RtfTokenizer tokenizer(input);
    m_builder.reserve(input.size());
    for (RtfToken token = tokenizer.next(); token.type != RtfToken::Type::End; token = tokenizer.next()) {
        if (!handleToken(token))
            break;
    }
    // Truncated input ends here too: whatever is still open is closed as if its braces had come.
    flushHexBytes();
    while (!m_stack.empty() && endGroup()) {
    }
    emitText({});
    return m_builder.finish(m_lastParagraph);
}

bool RtfReader::handleToken(const RtfToken& token)
{
    using Type = RtfToken::Type;
    if (token.type != Type::HexByte)
        flushHexBytes();
    if (token.type == Type::GroupStart) {
        beginGroup();
        return true;
    }
    if (token.type == Type::GroupEnd)
        return endGroup();
    if (m_overflowDepth > 0 || m_state.destination == Destination::Skip || skipFallback(token))
        return true;
    switch (token.type) {
    case Type::ControlWord:
        handleWord(token.name, token.hasParameter, token.parameter);
        break;
    case Type::ControlSymbol:
        handleSymbol(token.symbol);
        break;
    case Type::HexByte:
        handleHexByte(token.byte);
        break;
    case Type::Text:
        handleText(token.data);
        break;
    case Type::Binary:
        if (m_state.destination == Destination::Picture)
            m_picture.appendBinary(token.data);
        break;
    case Type::End:
    case Type::GroupStart:
    case Type::GroupEnd:
        break;
    }
    return true;
}

// After \uN the writer puts \ucN characters for readers without Unicode; a reader with Unicode passes over them.
// Each byte of text, each escape and each control word counts as one.
bool RtfReader::skipFallback(const RtfToken& token)
{
    if (m_fallbackToSkip <= 0)
        return false;
    if (token.type == RtfToken::Type::Text && token.data.size() > m_fallbackToSkip) {
        const QByteArrayView rest = token.data.sliced(m_fallbackToSkip);
        m_fallbackToSkip = 0;
        handleText(rest);
        return true;
    }
    m_fallbackToSkip -= token.type == RtfToken::Type::Text ? int(token.data.size()) : 1;
    return true;
}

void RtfReader::beginGroup()
{
    m_fallbackToSkip = 0;
    if (m_overflowDepth > 0 || int(m_stack.size()) >= m_options.maxDepth) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_state);
    m_state.starred = false;
}

bool RtfReader::endGroup()
{
    m_fallbackToSkip = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return true;
    }
    if (m_stack.empty())
        return false;
    const Destination inner = m_state.destination;
    if (m_stack.size() == 1)
        m_lastParagraph = m_state.paragraph;
    m_state = std::move(m_stack.back());
    m_stack.pop_back();
    endDestination(inner, m_state.destination);
    // The outermost group is the document itself; anything after its closing brace is not read.
    return !m_stack.empty();
}

void RtfReader::endDestination(Destination inner, Destination outer)
{
    if (inner == Destination::FontTable)
        m_fonts.endEntry(m_decoder);
    if (inner == Destination::ColorTable && outer != Destination::ColorTable)
        m_colors.endPendingEntry();
    if (inner == Destination::Picture && outer != Destination::Picture) {
        if (outer == Destination::Text && m_picture.isUsable())
            m_builder.appendPicture(m_picture, m_state.character);
        m_picture = RtfPicture(m_options.maxPictureBytes);
    }
}

void RtfReader::handleWord(QByteArrayView name, bool hasParameter, int parameter)
{
    const RtfControlWord word = RtfControlWords::lookup(name);
    if (m_state.starred) {
        // \* marks a destination that a reader may not know; only the ones read here are kept.
        m_state.starred = false;
        if (word.word != RtfWord::ShapePicture && word.word != RtfWord::FieldInstruction &&
            word.word != RtfWord::UnicodeAlternative) {
            m_state.destination = Destination::Skip;
            return;
        }
    }
    switch (m_state.destination) {
    case Destination::Text:
        handleDocumentWord(word, hasParameter, parameter);
        break;
    case Destination::FontTable:
        handleFontTableWord(word.word, parameter);
        break;
    case Destination::ColorTable:
        handleColorTableWord(word.word, parameter);
        break;
    case Destination::Picture:
        handlePictureWord(word.word, parameter);
        break;
    case Destination::UnicodePair:
        if (word.word == RtfWord::UnicodeAlternative)
            m_state.destination = m_state.outerDestination;
        break;
    case Destination::FieldInstruction:
        if (word.word == RtfWord::Unicode)
            handleUnicode(parameter);
        break;
    case Destination::Skip:
        break;
    }
}

void RtfReader::handleDocumentWord(const RtfControlWord& word, bool hasParameter, int parameter)
{
    if (handleCharacterWord(word.word, hasParameter, parameter) || handleParagraphWord(word.word, parameter))
        return;
    switch (word.word) {
    case RtfWord::Ansi:
        m_decoder.setDocumentCodePage(RtfCodePage::Windows1252);
        break;
    case RtfWord::Mac:
        m_decoder.setDocumentCodePage(10000);
        break;
    case RtfWord::Pc:
        m_decoder.setDocumentCodePage(437);
        break;
    case RtfWord::Pca:
        m_decoder.setDocumentCodePage(850);
        break;
    case RtfWord::AnsiCodePage:
        m_decoder.setDocumentCodePage(parameter);
        break;
    case RtfWord::DefaultFont:
        m_defaultFont = parameter;
        m_builder.setDefaultFont(parameter);
        break;
    case RtfWord::FontTable:
        m_state.destination = Destination::FontTable;
        break;
    case RtfWord::ColorTable:
        m_state.destination = Destination::ColorTable;
        break;
    case RtfWord::SkippedDestination:
        m_state.destination = Destination::Skip;
        break;
    case RtfWord::Picture:
        m_state.destination = Destination::Picture;
        m_picture = RtfPicture(m_options.maxPictureBytes);
        break;
    case RtfWord::Field:
        m_fieldInstruction.clear();
        break;
    case RtfWord::FieldInstruction:
        m_state.destination = Destination::FieldInstruction;
        m_fieldInstruction.clear();
        break;
    case RtfWord::FieldResult:
        if (const QString target = hyperlinkTarget(m_fieldInstruction); !target.isEmpty())
            m_state.character.anchorHref = target;
        break;
    case RtfWord::NeXTGraphic:
        // An attachment of an RTFD package: its file is not in plain RTF, so the group and the attachment
        // character that follows it in the enclosing group are passed over.
        m_state.destination = Destination::Skip;
        if (!m_stack.empty() && m_stack.back().destination == Destination::Text)
            m_stack.back().destination = Destination::Skip;
        break;
    case RtfWord::UnicodePair:
        m_state.outerDestination = m_state.destination;
        m_state.destination = Destination::UnicodePair;
        break;
    case RtfWord::Paragraph:
        emitText({});
        m_builder.endParagraph(m_state.paragraph);
        break;
    case RtfWord::Character:
        emitCharacter(word.character);
        break;
    case RtfWord::Unicode:
        handleUnicode(parameter);
        break;
    case RtfWord::UnicodeSkip:
        m_state.unicodeSkip = std::clamp(parameter, 0, MaxUnicodeSkip);
        break;
    default:
        break;
    }
}

bool RtfReader::handleCharacterWord(RtfWord word, bool hasParameter, int parameter)
{
    RtfState::Character& character = m_state.character;
    switch (word) {
    case RtfWord::Font:
        character.font = parameter;
        return true;
    case RtfWord::FontSize:
        character.halfPoints = hasParameter && parameter > 0 ? std::min(parameter, MaxHalfPoints) : 24;
        return true;
    case RtfWord::Bold:
        character.bold = isOn(hasParameter, parameter);
        return true;
    case RtfWord::Italic:
        character.italic = isOn(hasParameter, parameter);
        return true;
    case RtfWord::Underline:
        character.underline = isOn(hasParameter, parameter);
        return true;
    case RtfWord::UnderlineNone:
        character.underline = false;
        return true;
    case RtfWord::StrikeOut:
        character.strikeOut = isOn(hasParameter, parameter);
        return true;
    case RtfWord::Foreground:
        character.color = std::max(parameter, 0);
        return true;
    case RtfWord::Plain:
        // A field's link is not a character property, so \plain inside the result keeps it.
        character = RtfState::Character{.anchorHref = character.anchorHref};
        return true;
    default:
        return false;
    }
}

bool RtfReader::handleParagraphWord(RtfWord word, int parameter)
{
    using Alignment = RtfState::Paragraph::Alignment;
    RtfState::Paragraph& paragraph = m_state.paragraph;
    switch (word) {
    case RtfWord::ParagraphDefault:
        paragraph = RtfState::Paragraph();
        return true;
    case RtfWord::AlignLeft:
        paragraph.alignment = Alignment::Left;
        return true;
    case RtfWord::AlignCenter:
        paragraph.alignment = Alignment::Center;
        return true;
    case RtfWord::AlignRight:
        paragraph.alignment = Alignment::Right;
        return true;
    case RtfWord::AlignJustify:
        paragraph.alignment = Alignment::Justify;
        return true;
    case RtfWord::LeftIndent:
        paragraph.leftIndent = twips(parameter);
        return true;
    case RtfWord::RightIndent:
        paragraph.rightIndent = twips(parameter);
        return true;
    case RtfWord::FirstLineIndent:
        paragraph.firstLineIndent = twips(parameter);
        return true;
    case RtfWord::SpaceBefore:
        paragraph.spaceBefore = twips(parameter);
        return true;
    case RtfWord::SpaceAfter:
        paragraph.spaceAfter = twips(parameter);
        return true;
    default:
        return false;
    }
}

void RtfReader::handleFontTableWord(RtfWord word, int parameter)
{
    switch (word) {
    case RtfWord::Font:
        m_fonts.endEntry(m_decoder);
        m_fonts.beginEntry(parameter);
        break;
    case RtfWord::FontCharset:
        m_fonts.setCharset(parameter);
        break;
    case RtfWord::FontCodePage:
        m_fonts.setCodePage(parameter);
        break;
    default:
        break;
    }
}

void RtfReader::handleColorTableWord(RtfWord word, int parameter)
{
    switch (word) {
    case RtfWord::Red:
        m_colors.setRed(parameter);
        break;
    case RtfWord::Green:
        m_colors.setGreen(parameter);
        break;
    case RtfWord::Blue:
        m_colors.setBlue(parameter);
        break;
    default:
        break;
    }
}

void RtfReader::handlePictureWord(RtfWord word, int parameter)
{
    switch (word) {
    case RtfWord::PngBlip:
        m_picture.setFormat(RtfPicture::Format::Png);
        break;
    case RtfWord::JpegBlip:
        m_picture.setFormat(RtfPicture::Format::Jpeg);
        break;
    case RtfWord::OtherBlip:
        m_picture.setFormat(RtfPicture::Format::Unsupported);
        break;
    case RtfWord::GoalWidth:
        m_picture.setGoalWidth(parameter);
        break;
    case RtfWord::GoalHeight:
        m_picture.setGoalHeight(parameter);
        break;
    case RtfWord::ScaleX:
        m_picture.setScaleX(parameter);
        break;
    case RtfWord::ScaleY:
        m_picture.setScaleY(parameter);
        break;
    default:
        break;
    }
}

void RtfReader::handleSymbol(char symbol)
{
    switch (symbol) {
    case '*':
        m_state.starred = true;
        break;
    case '~':
        emitCharacter(u'\u00A0');
        break;
    case '_':
        emitCharacter(u'\u2011');
        break;
    case '-':
        emitCharacter(u'\u00AD');
        break;
    default:
        break;
    }
}

void RtfReader::handleText(QByteArrayView bytes)
{
    switch (m_state.destination) {
    case Destination::Text:
        if (m_highSurrogate == 0 && RtfTextDecoder::isAscii(bytes)) {
            m_builder.appendAscii(bytes, m_state.character);
            break;
        }
        [[fallthrough]];
    case Destination::FieldInstruction:
        emitText(m_decoder.decodeLiteral(bytes, currentCodePage()));
        break;
    case Destination::FontTable:
        handleFontTableText(bytes);
        break;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c == ';')
                m_colors.endEntry();
        }
        break;
    case Destination::Picture:
        m_picture.appendHex(bytes);
        break;
    case Destination::Skip:
    case Destination::UnicodePair:
        break;
    }
}

void RtfReader::handleFontTableText(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf(';');
        m_fonts.appendName(end < 0 ? bytes : bytes.first(end));
        if (end < 0)
            return;
        m_fonts.endEntry(m_decoder);
        bytes = bytes.sliced(end + 1);
    }
}

void RtfReader::handleHexByte(unsigned char byte)
{
    const char c = static_cast<char>(byte);
    if (m_state.destination == Destination::FontTable) {
        m_fonts.appendName(QByteArrayView(&c, 1));
        return;
    }
    if (m_state.destination != Destination::Text && m_state.destination != Destination::FieldInstruction)
        return;
    // Escaped bytes are gathered so that a character of a multi-byte code page, written as two escapes, decodes
    // as one.
    const int codePage = currentCodePage();
    if (!m_hexBytes.isEmpty() && codePage != m_hexCodePage)
        flushHexBytes();
    m_hexCodePage = codePage;
    m_hexBytes.append(c);
}

void RtfReader::flushHexBytes()
{
    if (m_hexBytes.isEmpty())
        return;
    const QString text = m_decoder.decode(m_hexBytes, m_hexCodePage);
    m_hexBytes.resize(0);
    emitText(text);
}

void RtfReader::handleUnicode(int value)
{
    m_fallbackToSkip = m_state.unicodeSkip;
    // Writers put values above 32767 as negative numbers, since RTF parameters are signed 16-bit.
    const int code = value < 0 ? value + 65536 : value;
    if (code < 0 || code > 0xFFFF) {
        emitCharacter(QChar::ReplacementCharacter);
        return;
    }
    const auto unit = static_cast<char16_t>(code);
    if (QChar::isHighSurrogate(unit)) {
        emitText({});
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit) && m_highSurrogate != 0) {
        const char16_t pair[] = {m_highSurrogate, unit};
        m_highSurrogate = 0;
        emitText(QString(reinterpret_cast<const QChar*>(pair), 2));
        return;
    }
    emitCharacter(QChar::isLowSurrogate(unit) ? char16_t(QChar::ReplacementCharacter) : unit);
}

void RtfReader::emitCharacter(char16_t character)
{
    emitText(QString(QChar(character)));
}

// Sends text to where the current group's text goes. A high surrogate still waiting for its partner is given up
// as a replacement character first, so that no half pair reaches the document.
void RtfReader::emitText(const QString& text)
{
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        emitCharacter(QChar::ReplacementCharacter);
    }
    if (text.isEmpty())
        return;
    if (m_state.destination == Destination::FieldInstruction) {
        if (m_fieldInstruction.size() < MaxFieldInstruction)
            m_fieldInstruction.append(text.left(MaxFieldInstruction - m_fieldInstruction.size()));
        return;
    }
    if (m_state.destination == Destination::Text)
        m_builder.appendText(text, m_state.character);
}

int RtfReader::currentCodePage() const
{
    const int font = m_state.character.font >= 0 ? m_state.character.font : m_defaultFont;
    return m_fonts.codePage(font);
}
