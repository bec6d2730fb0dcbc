#include "intake/link_file.h"

#include "text/encoding.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenmark::intake {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

// The content before the first 0x00 or 0x1A at the start of a character.
std::string_view cut_at_end_mark(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0x00 || b == 0x1A)
            break;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 < bytes.size() && bytes[i + 1] == '\0')
            break;
        i += 2;
    }
    return bytes.substr(0, std::min(i, bytes.size()));
}

Text decode_utf16(std::string_view units, bool big_endian)
{
    text::ByteArray little;
    little.reserve(units.size() + 2);
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const auto first = static_cast<std::uint8_t>(units[i]);
        const auto second = static_cast<std::uint8_t>(units[i + 1]);
        const std::uint8_t low = big_endian ? second : first;
        const std::uint8_t high = big_endian ? first : second;
        if (high == 0 && (low == 0x00 || low == 0x1A))
            break;
        little.push_back(low);
        little.push_back(high);
    }
    return text::bytes_to_text(text::utf16_to_bytes(little, text::CodePage::local));
}

} // namespace

LinkFile read_link_file(const std::string& path)
{
    LinkFile file;
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || fstat(fd.get(), &info) != 0)
        return file;
    if (!S_ISREG(info.st_mode)) {
        file.status = FileStatus::not_regular;
        return file;
    }
    if (info.st_size > max_link_file_bytes) {
        file.status = FileStatus::too_large;
        return file;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat: read on, within the limit.
            if (bytes.size() > static_cast<std::size_t>(max_link_file_bytes)) {
                file.status = FileStatus::too_large;
                return file;
            }
            bytes.resize(bytes.size() + 65536);
        }
        const ssize_t got = read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return file;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    if (bytes.size() > static_cast<std::size_t>(max_link_file_bytes)) {
        file.status = FileStatus::too_large;
        return file;
    }
    file.status = FileStatus::ok;
    file.bytes = std::move(bytes);
    return file;
}

Text decode_link_file(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return decode_utf16(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF")
        return decode_utf16(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::string_view content = cut_at_end_mark(bytes);
    if (text::is_valid_utf8(content))
        return text::utf8_to_text(content);
    return Text(content); // already local text, and free of zero bytes
}

TextArray split_link_lines(std::string_view text)
{
    // Every LF ends a line, and a CR right before it goes with it: neither
    // byte can be the second byte of a character, so a stray first byte
    // before them never glues two lines together.
    TextArray lines;
    std::size_t line_start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', line_start)) {
        const std::size_t cut = end > line_start && text[end - 1] == '\r' ? end - 1 : end;
        lines.emplace_back(text.substr(line_start, cut - line_start));
        line_start = end + 1;
    }
    if (line_start < text.size())
        lines.emplace_back(text.substr(line_start));
    return lines;
}

} // namespace quenmark::intake
