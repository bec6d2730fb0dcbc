#include "text/encoding.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace quenmark::text {
namespace {

enum class Charset { gb18030, utf8, utf16le, utf32le };

struct CharsetInfo {
    const char* iconv_name;
    std::string_view replacement; // written for what cannot be converted
    std::size_t unit;             // bytes skipped past an undecodable unit
};

constexpr std::array<CharsetInfo, 4> charsets{{
    {"GB18030", "?", 1},
    {"UTF-8", "\xEF\xBF\xBD", 1},
    {"UTF-16LE", "\xFD\xFF", 2},
    {"UTF-32LE", "\xFD\xFF\x00\x00", 4},
}};

const CharsetInfo& info(Charset c)
{
    return charsets[static_cast<std::size_t>(c)];
}

// iconv descriptors are costly to open and not safe to share between
// threads, so each thread keeps its own, one per direction.
class ConverterCache {
public:
    ConverterCache() { handles_.fill(invalid()); }
    ConverterCache(const ConverterCache&) = delete;
    ConverterCache& operator=(const ConverterCache&) = delete;
    ~ConverterCache()
    {
        for (iconv_t cd : handles_) {
            if (cd != invalid())
                iconv_close(cd);
        }
    }

    // The descriptor for from -> to in its initial state, or invalid().
    iconv_t get(Charset from, Charset to)
    {
        iconv_t& cd = handles_[static_cast<std::size_t>(from) * charsets.size()
                               + static_cast<std::size_t>(to)];
        if (cd == invalid())
            cd = iconv_open(info(to).iconv_name, info(from).iconv_name);
        else
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return cd;
    }

    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    std::array<iconv_t, charsets.size() * charsets.size()> handles_;
};

// Appends `in` converted from `from` to `to` onto `out`. Invalid or
// unconvertible input becomes the target's replacement and is skipped by
// one unit of the source; a sequence cut short at the end becomes one
// replacement.
void convert(Charset from, Charset to, std::string_view in, std::string& out)
{
    thread_local ConverterCache cache;
    if (in.empty())
        return;
    iconv_t cd = cache.get(from, to);
    if (cd == ConverterCache::invalid())
        return;
    char* src = const_cast<char*>(in.data()); // iconv's signature is not const-correct
    std::size_t src_left = in.size();
    std::array<char, 16384> buffer;
    while (src_left > 0) {
        char* dst = buffer.data();
        std::size_t dst_left = buffer.size();
        const std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        out.append(buffer.data(), buffer.size() - dst_left);
        if (error == EILSEQ || error == EINVAL) {
            out.append(info(to).replacement);
            const std::size_t skip = error == EINVAL ? src_left
                                                     : std::min(src_left, info(from).unit);
            src += skip;
            src_left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (error != 0 && error != E2BIG) {
            return;
        }
    }
    char* dst = buffer.data();
    std::size_t dst_left = buffer.size();
    iconv(cd, nullptr, nullptr, &dst, &dst_left); // flush any shift state
    out.append(buffer.data(), buffer.size() - dst_left);
}

Charset charset_of(CodePage code_page)
{
    return code_page == CodePage::utf8 ? Charset::utf8 : Charset::gb18030;
}

ByteArray to_bytes(const std::string& s)
{
    return ByteArray(s.begin(), s.end());
}

// The UTF-8 decoder's view of one sequence: its length from the lead byte
// (0 for a byte that cannot begin one) and the lead byte's payload bits.
struct Lead {
    int length;
    std::uint32_t bits;
};

Lead lead_of(std::uint8_t b)
{
    if (b < 0x80)
        return {1, b};
    if (b < 0xC0)
        return {0, 0};
    if (b < 0xE0)
        return {2, b & 0x1Fu};
    if (b < 0xF0)
        return {3, b & 0x0Fu};
    if (b < 0xF8)
        return {4, b & 0x07u};
    if (b < 0xFC)
        return {5, b & 0x03u};
    if (b < 0xFE)
        return {6, b & 0x01u};
    return {0, 0};
}

void append_utf32(std::string& utf32, std::uint32_t cp)
{
    const char unit[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                          static_cast<char>((cp >> 16) & 0xFF), static_cast<char>(cp >> 24)};
    utf32.append(unit, 4);
}

constexpr std::string_view safe_marks = "-._'()*";

bool is_safe(std::uint8_t b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')
           || safe_marks.find(static_cast<char>(b)) != std::string_view::npos;
}

} // namespace

bool is_valid_utf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        std::uint32_t cp;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07u;
        } else {
            return false;
        }
        if (s.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

Text utf8_to_text(std::string_view bytes)
{
    Text out;
    out.reserve(bytes.size());
    std::string pending; // UTF-32LE of non-ASCII characters not yet converted
    const auto flush = [&] {
        convert(Charset::utf32le, Charset::gb18030, pending, out);
        pending.clear();
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == 0)
            break;
        if (b < 0x80) {
            // ASCII is the same in the local code page: copy the whole run.
            std::size_t run = i + 1;
            while (run < bytes.size() && bytes[run] != 0 && static_cast<std::uint8_t>(bytes[run]) < 0x80)
                ++run;
            if (!pending.empty())
                flush();
            out.append(bytes.substr(i, run - i));
            i = run;
            continue;
        }
        const Lead lead = lead_of(b);
        if (lead.length == 0 || bytes.size() - i < static_cast<std::size_t>(lead.length))
            break;
        std::uint32_t cp = lead.bits;
        bool complete = true;
        for (int k = 1; k < lead.length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (!complete || cp == 0)
            break;
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = '?';
        append_utf32(pending, cp);
        if (pending.size() >= 16384)
            flush();
        i += static_cast<std::size_t>(lead.length);
    }
    flush();
    return out;
}

Text utf8_to_text(const ByteArray& bytes)
{
    return utf8_to_text(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

ByteArray bytes_to_utf16(const ByteArray& bytes, CodePage code_page)
{
    const Text input = bytes_to_text(bytes);
    if (input.empty())
        return {};
    std::string utf16;
    convert(charset_of(code_page), Charset::utf16le, input, utf16);
    utf16.append(2, '\0');
    return to_bytes(utf16);
}

ByteArray utf16_to_bytes(const ByteArray& utf16, CodePage code_page)
{
    std::size_t units = 0;
    while (2 * units + 1 < utf16.size() && (utf16[2 * units] != 0 || utf16[2 * units + 1] != 0))
        ++units;
    if (units == 0)
        return {};
    std::string out;
    convert(Charset::utf16le, charset_of(code_page),
            std::string_view(reinterpret_cast<const char*>(utf16.data()), 2 * units), out);
    return to_bytes(out); // no zero unit went in, so no zero byte comes out
}

ByteArray local_to_utf8(std::string_view text)
{
    return utf16_to_bytes(bytes_to_utf16(text_to_bytes(text), CodePage::local), CodePage::utf8);
}

Text url_encode(std::string_view text, bool keep_unreserved, bool as_utf8)
{
    return percent_encode(as_utf8 ? local_to_utf8(text) : text_to_bytes(text), keep_unreserved);
}

Text percent_encode(const ByteArray& bytes, bool keep_unreserved)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    Text out;
    out.reserve(3 * bytes.size()); // the worst case: every byte escaped
    for (const std::uint8_t b : bytes) {
        if (b == 0)
            continue;
        if (keep_unreserved && is_safe(b)) {
            out.push_back(static_cast<char>(b));
        } else if (b == ' ') {
            out.push_back('+');
        } else {
            out.push_back('%');
            out.push_back(hex[b >> 4]);
            out.push_back(hex[b & 0x0F]);
        }
    }
    return out;
}

Text base64_encode(const ByteArray& bytes)
{
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    Text out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const std::uint32_t group = (std::uint32_t{bytes[i]} << 16)
                                    | (left > 1 ? std::uint32_t{bytes[i + 1]} << 8 : 0)
                                    | (left > 2 ? std::uint32_t{bytes[i + 2]} : 0);
        out.push_back(alphabet[(group >> 18) & 0x3F]);
        out.push_back(alphabet[(group >> 12) & 0x3F]);
        out.push_back(left > 1 ? alphabet[(group >> 6) & 0x3F] : '=');
        out.push_back(left > 2 ? alphabet[group & 0x3F] : '=');
    }
    return out;
}

} // namespace quenmark::text
