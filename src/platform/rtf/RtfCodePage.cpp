#include "RtfCodePage.h"

#include <QStringDecoder>

#include <array>
#include <cerrno>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define RTF_HAVE_ICONV 1
#endif

namespace {

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes keep their Latin-1 value, as Windows itself does.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

bool isMultiByteCodePage(int number)
{
    return number == 932 || number == 936 || number == 949 || number == 950 || number == 1361;
}

QByteArray iconvName(int number)
{
    switch (number) {
    case 10000:
        return "MACINTOSH";
    case 437:
        return "IBM437";
    case 20866:
        return "KOI8-R";
    case 1361:
        return "JOHAB";
    default:
        break;
    }
    if (number > 28591 && number <= 28605)
        return "ISO-8859-" + QByteArray::number(number - 28590);
    return "CP" + QByteArray::number(number);
}

} // namespace

RtfCodePage::RtfCodePage(int number)
{
    if (number == Utf8) {
        m_kind = Kind::Utf8;
        m_multiByte = true;
    } else if (number == Latin1) {
        m_kind = Kind::Latin1;
    } else if (number != Windows1252 && number > 0 && openIconv(number)) {
        m_kind = Kind::Iconv;
        m_multiByte = isMultiByteCodePage(number);
    }
}

RtfCodePage::~RtfCodePage()
{
#ifdef RTF_HAVE_ICONV
    if (m_iconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
#endif
}

int RtfCodePage::forCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return 437;
    default:
        // 0 (ANSI), 1 (default) and 2 (symbol) follow the document.
        return 0;
    }
}

QString RtfCodePage::decode(QByteArrayView bytes)
{
    switch (m_kind) {
    case Kind::Utf8:
        return QString::fromUtf8(bytes);
    case Kind::Latin1:
        return QString::fromLatin1(bytes);
    case Kind::Iconv:
        return decodeIconv(bytes);
    case Kind::Windows1252:
        break;
    }
    return decodeWindows1252(bytes);
}

bool RtfCodePage::openIconv(int number)
{
#ifdef RTF_HAVE_ICONV
    const iconv_t handle = iconv_open("UTF-16LE", iconvName(number).constData());
    if (handle == reinterpret_cast<iconv_t>(-1))
        return false;
    m_iconv = handle;
    return true;
#else
    Q_UNUSED(number);
    return false;
#endif
}

QString RtfCodePage::decodeIconv(QByteArrayView bytes)
{
#ifdef RTF_HAVE_ICONV
    const auto handle = static_cast<iconv_t>(m_iconv);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    QByteArray output;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    std::array<char, 4096> buffer;
    while (inLeft > 0) {
        char* out = buffer.data();
        size_t outLeft = buffer.size();
        const size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), qsizetype(buffer.size() - outLeft));
        if (result != size_t(-1) || errno == E2BIG)
            continue;
        // A byte the code page does not know (or a cut-off character) becomes one replacement character.
        output.append("\xFD\xFF", 2);
        ++in;
        --inLeft;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    return QStringDecoder(QStringConverter::Utf16LE).decode(output);
#else
    return decodeWindows1252(bytes);
#endif
}
