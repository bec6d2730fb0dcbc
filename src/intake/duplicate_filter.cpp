#include "intake/duplicate_filter.h"

#include <divsufsort.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace quenmark::intake {
namespace {

using text::Text;
using text::TextArray;

// The smallest "aligned" start position within ranges of a suffix array:
// a position counts only where a character starts. Blocks of suffix-array
// entries keep their minimum, and a sparse table answers over whole blocks.
class AlignedMinimum {
public:
    AlignedMinimum(const std::vector<saidx_t>& sa, const std::vector<bool>& aligned)
        : sa_(sa), aligned_(aligned)
    {
        const std::size_t blocks = (sa.size() + block - 1) / block;
        table_.emplace_back(blocks, INT_MAX);
        for (std::size_t k = 0; k < sa.size(); ++k)
            table_[0][k / block] = std::min(table_[0][k / block], value(k));
        for (std::size_t width = 1; 2 * width <= blocks; width *= 2) {
            const std::vector<saidx_t>& previous = table_.back();
            std::vector<saidx_t> next(blocks - 2 * width + 1);
            for (std::size_t b = 0; b < next.size(); ++b)
                next[b] = std::min(previous[b], previous[b + width]);
            table_.push_back(std::move(next));
        }
    }

    // The smallest aligned position among sa[lo, hi); INT_MAX when none.
    saidx_t over(std::size_t lo, std::size_t hi) const
    {
        saidx_t best = INT_MAX;
        const std::size_t first_full = (lo + block - 1) / block;
        const std::size_t end_full = hi / block;
        if (first_full >= end_full) {
            for (std::size_t k = lo; k < hi; ++k)
                best = std::min(best, value(k));
            return best;
        }
        for (std::size_t k = lo; k < first_full * block; ++k)
            best = std::min(best, value(k));
        for (std::size_t k = end_full * block; k < hi; ++k)
            best = std::min(best, value(k));
        const std::size_t count = end_full - first_full;
        std::size_t level = 0;
        while ((std::size_t{2} << level) <= count)
            ++level;
        const std::vector<saidx_t>& row = table_[level];
        best = std::min({best, row[first_full], row[end_full - (std::size_t{1} << level)]});
        return best;
    }

private:
    static constexpr std::size_t block = 256;

    saidx_t value(std::size_t k) const
    {
        const saidx_t position = sa_[k];
        return aligned_[static_cast<std::size_t>(position)] ? position : INT_MAX;
    }

    const std::vector<saidx_t>& sa_;
    const std::vector<bool>& aligned_;
    std::vector<std::vector<saidx_t>> table_;
};

// Where characters start in `text`, walking from its first byte.
std::vector<bool> character_starts(std::string_view text)
{
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += (static_cast<unsigned char>(text[i]) & 0x80) ? 2 : 1)
        starts[i] = true;
    return starts;
}

// Answers "does `needle` occur in the text, starting at a character start
// before `limit`?" for many needles, through a suffix array of the text.
class SubstringIndex {
public:
    explicit SubstringIndex(std::string_view text) : text_(text), sa_(text.size())
    {
        valid_ = text.size() <= static_cast<std::size_t>(INT_MAX)
                 && divsufsort(reinterpret_cast<const sauchar_t*>(text.data()), sa_.data(),
                               static_cast<saidx_t>(text.size()))
                        == 0;
        if (valid_) {
            aligned_ = character_starts(text);
            earliest_ = std::make_unique<AlignedMinimum>(sa_, aligned_);
        }
    }

    [[nodiscard]] bool valid() const { return valid_; }

    [[nodiscard]] bool occurs_before(std::string_view needle, std::size_t limit) const
    {
        const auto compare_prefix = [&](saidx_t position) {
            const std::string_view suffix = text_.substr(static_cast<std::size_t>(position));
            const int c = std::memcmp(suffix.data(), needle.data(), std::min(suffix.size(), needle.size()));
            if (c != 0)
                return c;
            return suffix.size() >= needle.size() ? 0 : -1;
        };
        const auto lo = std::partition_point(sa_.begin(), sa_.end(),
                                             [&](saidx_t p) { return compare_prefix(p) < 0; });
        const auto hi = std::partition_point(lo, sa_.end(),
                                             [&](saidx_t p) { return compare_prefix(p) == 0; });
        if (lo == hi)
            return false;
        const saidx_t first = earliest_->over(static_cast<std::size_t>(lo - sa_.begin()),
                                              static_cast<std::size_t>(hi - sa_.begin()));
        return static_cast<std::size_t>(first) < limit;
    }

private:
    std::string_view text_;
    std::vector<saidx_t> sa_;
    std::vector<bool> aligned_;
    std::unique_ptr<AlignedMinimum> earliest_;
    bool valid_ = false;
};

} // namespace

std::vector<bool> find_duplicates_naive(std::string_view box, const TextArray& lines)
{
    std::vector<bool> duplicate(lines.size(), false);
    Text current(box);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        duplicate[i] = text::find_text(current, lines[i]) != text::not_found;
        if (!duplicate[i]) {
            current += lines[i];
            current += "\r\n";
        }
    }
    return duplicate;
}

// A line can only be found inside one line of the box: it holds no LF, and
// every LF ends a line and is followed by a character start. So line i is a
// duplicate exactly when it occurs in the box as the import began or in an
// earlier line of the file: a line skipped earlier occurs in the box itself,
// and so does everything found inside it. One text of the box and the lines,
// each ended by LF, then answers every line with one suffix array: is there
// an occurrence at a character start before line i? Two cases differ from
// that picture. The first line appended to a box whose last line has no
// line end continues that line, so the lines up to it are searched in the
// box alone first. A line ending in CR may match the CR of a CR LF appended
// after an earlier line; it is searched in the box's real text.
std::vector<bool> find_duplicates(std::string_view box, const TextArray& lines)
{
    std::vector<bool> duplicate(lines.size(), false);
    Text current(box); // the box's real text, kept for lines ending in CR
    Text all(box);
    std::size_t first = 0;
    if (!box.empty() && box.back() != '\n') {
        Text boxed = all + '\n';
        const SubstringIndex in_box(boxed);
        if (!in_box.valid())
            return find_duplicates_naive(box, lines);
        while (first < lines.size()
               && (lines[first].empty() || in_box.occurs_before(lines[first], box.size()))) {
            duplicate[first] = true;
            ++first;
        }
        if (first == lines.size())
            return duplicate;
        all += lines[first];
        all += '\n';
        current += lines[first] + "\r\n";
        ++first;
    }

    std::vector<std::size_t> starts(lines.size());
    for (std::size_t i = first; i < lines.size(); ++i) {
        starts[i] = all.size();
        all += lines[i];
        all += '\n';
    }
    const SubstringIndex index(all);
    if (!index.valid())
        return find_duplicates_naive(box, lines);
    for (std::size_t i = first; i < lines.size(); ++i) {
        const Text& line = lines[i];
        if (line.empty())
            duplicate[i] = starts[i] > 0; // the box holds something
        else if (line.back() == '\r')
            duplicate[i] = text::find_text(current, line) != text::not_found;
        else
            duplicate[i] = index.occurs_before(line, starts[i]);
        if (!duplicate[i])
            current += line + "\r\n";
    }
    return duplicate;
}

} // namespace quenmark::intake
