#include "ui/qt_text.h"

#include "text/encoding.h"

namespace quenmark::ui {

text::Text to_text(const QString& string)
{
    QString crlf = string;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));

    // The encoders take little-endian UTF-16 as bytes, whatever the host.
    text::ByteArray utf16;
    utf16.reserve(static_cast<std::size_t>(crlf.size()) * 2 + 2);
    for (QChar c : crlf) {
        utf16.push_back(static_cast<std::uint8_t>(c.unicode() & 0xFF));
        utf16.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
    }
    const text::ByteArray local = text::utf16_to_bytes(utf16, text::CodePage::local);
    return text::Text(local.begin(), local.end());
}

QString to_qstring(std::string_view text)
{
    const text::ByteArray utf16 = text::bytes_to_utf16(text::text_to_bytes(text),
                                                      text::CodePage::local);
    QString string;
    string.reserve(static_cast<qsizetype>(utf16.size() / 2));
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const auto unit = static_cast<char16_t>(utf16[i] | (utf16[i + 1] << 8));
        if (unit == 0)
            break;
        string.append(QChar(unit));
    }
    string.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return string;
}

} // namespace quenmark::ui
