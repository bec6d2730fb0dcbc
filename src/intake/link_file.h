// Reading a file of links: one link per line.
#pragma once

#include "text/text.h"

#include <cstdint>
#include <string>

namespace quenmark::intake {

using text::Text;
using text::TextArray;

// Files above this size are not imported.
inline constexpr std::int64_t max_link_file_bytes = std::int64_t{64} << 20;

enum class FileStatus {
    ok,
    unreadable,  // missing, not permitted, or failed while reading
    not_regular, // a folder, a FIFO, a device: never read
    too_large,   // over max_link_file_bytes
};

struct LinkFile {
    FileStatus status = FileStatus::unreadable;
    std::string bytes; // the whole file when ok, else empty
};

// Reads the regular file at `path` (a UTF-8 file name) without blocking on
// anything that is not a regular file and without reading more than the
// size limit allows.
[[nodiscard]] LinkFile read_link_file(const std::string& path);

// The file's content as local text. A file that begins with a UTF-16
// byte-order mark is UTF-16 and ends at its first U+0000 or U+001A. Any
// other file ends before its first 0x00 or 0x1A byte that stands at the
// start of a character (a high-bit byte and the byte after it being one
// character, and a high-bit byte followed by 0x00 ending the content
// before it); a UTF-8 byte-order mark at its start is dropped; it is
// decoded as UTF-8 when it is valid UTF-8 and taken as the local code page
// (GBK and GB18030 files) otherwise.
[[nodiscard]] Text decode_link_file(std::string_view bytes);

// The lines of `text`: a line ends at CR LF or at a lone LF (whatever byte
// stands before it); empty lines between line ends are lines; a final line
// end adds no empty line; an empty text has none. No line contains an LF.
[[nodiscard]] TextArray split_link_lines(std::string_view text);

} // namespace quenmark::intake
