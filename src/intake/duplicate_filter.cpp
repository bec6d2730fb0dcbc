#include "intake/duplicate_filter.h"

#include <divsufsort.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <unordered_set>

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

// Answers "does a needle occur in the text, starting at a character start
// before `limit`?" through a suffix array of the text.
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

    // The rows of the suffixes starting at each of `positions` (ascending).
    [[nodiscard]] std::vector<std::size_t> rows_of(const std::vector<std::size_t>& positions) const
    {
        std::vector<bool> wanted(text_.size() + 1, false);
        for (const std::size_t p : positions)
            wanted[p] = true;
        std::vector<std::size_t> rows(positions.size());
        for (std::size_t k = 0; k < sa_.size(); ++k) {
            const auto p = static_cast<std::size_t>(sa_[k]);
            if (wanted[p])
                rows[static_cast<std::size_t>(std::lower_bound(positions.begin(), positions.end(), p)
                                              - positions.begin())] = k;
        }
        return rows;
    }

    [[nodiscard]] bool occurs_before(std::string_view needle, std::size_t limit) const
    {
        const auto lo = std::partition_point(sa_.begin(), sa_.end(),
                                             [&](saidx_t p) { return compare(p, needle) < 0; });
        const auto hi = std::partition_point(lo, sa_.end(),
                                             [&](saidx_t p) { return compare(p, needle) == 0; });
        return lo != hi && earliest(static_cast<std::size_t>(lo - sa_.begin()),
                                    static_cast<std::size_t>(hi - sa_.begin()))
                               < limit;
    }

    // As occurs_before for the first `length` bytes of the suffix in `row`:
    // the rows sharing them lie around `row`, found by galloping outwards,
    // so a needle that occurs once costs two comparisons.
    [[nodiscard]] bool occurs_before(std::size_t row, std::size_t length, std::size_t limit) const
    {
        const std::string_view needle = text_.substr(static_cast<std::size_t>(sa_[row]), length);
        const auto shares = [&](std::size_t k) { return compare(sa_[k], needle) == 0; };
        std::size_t lo = row;
        for (std::size_t step = 1; lo > 0 && shares(lo - 1); step *= 2) {
            const std::size_t probe = lo > step ? lo - step : 0;
            if (shares(probe)) {
                lo = probe;
                continue;
            }
            // The first sharing row lies in (probe, lo - 1].
            std::size_t a = probe + 1, b = lo - 1;
            while (a < b) {
                const std::size_t mid = a + (b - a) / 2;
                if (shares(mid))
                    b = mid;
                else
                    a = mid + 1;
            }
            lo = a;
            break;
        }
        std::size_t hi = row + 1;
        for (std::size_t step = 1; hi < sa_.size() && shares(hi); step *= 2) {
            const std::size_t probe = std::min(sa_.size() - 1, hi + step);
            if (shares(probe)) {
                hi = probe + 1;
                continue;
            }
            // The last sharing row lies in [hi, probe).
            std::size_t a = hi, b = probe - 1;
            while (a < b) {
                const std::size_t mid = a + (b - a + 1) / 2;
                if (shares(mid))
                    a = mid;
                else
                    b = mid - 1;
            }
            hi = a + 1;
            break;
        }
        return earliest(lo, hi) < limit;
    }

private:
    // The suffix at `position` against `needle`, on needle's length.
    int compare(saidx_t position, std::string_view needle) const
    {
        const std::string_view suffix = text_.substr(static_cast<std::size_t>(position));
        const int c = std::memcmp(suffix.data(), needle.data(), std::min(suffix.size(), needle.size()));
        if (c != 0)
            return c;
        return suffix.size() >= needle.size() ? 0 : -1;
    }

    std::size_t earliest(std::size_t lo, std::size_t hi) const
    {
        return static_cast<std::size_t>(earliest_->over(lo, hi));
    }

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

    // A line equal to an earlier one is a duplicate either way, and adds
    // nothing to search in: it stays out of the index.
    std::unordered_set<std::string_view> seen;
    seen.reserve(lines.size() - first);
    std::vector<bool> repeat(lines.size(), false);
    std::vector<std::size_t> indexed; // the lines in the index
    std::vector<std::size_t> starts;  // where each of them starts in it
    std::vector<std::size_t> limits(lines.size(), 0); // the text before line i in the index
    for (std::size_t i = first; i < lines.size(); ++i) {
        limits[i] = all.size();
        if (lines[i].empty())
            continue;
        if (!seen.insert(lines[i]).second) {
            repeat[i] = true;
            continue;
        }
        indexed.push_back(i);
        starts.push_back(all.size());
        all += lines[i];
        all += '\n';
    }
    const SubstringIndex index(all);
    if (!index.valid())
        return find_duplicates_naive(box, lines);
    const std::vector<std::size_t> rows = index.rows_of(starts);
    std::vector<std::size_t> row_of_line(lines.size(), 0);
    for (std::size_t k = 0; k < indexed.size(); ++k)
        row_of_line[indexed[k]] = rows[k];

    for (std::size_t i = first; i < lines.size(); ++i) {
        const Text& line = lines[i];
        if (line.empty())
            duplicate[i] = !current.empty();
        else if (repeat[i])
            duplicate[i] = true;
        else if (line.back() == '\r')
            duplicate[i] = text::find_text(current, line) != text::not_found;
        else
            duplicate[i] = index.occurs_before(row_of_line[i], line.size(), limits[i]);
        if (!duplicate[i]) {
            current += line;
            current += "\r\n";
        }
    }
    return duplicate;
}

} // namespace quenmark::intake
