#include "lint/overlap_pairs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>

namespace tarvo {
namespace {

using Axes = std::array<double, 3>;

// A solid's extent on each axis: two solids whose insides overlap have
// extents that overlap on every axis. A sphere's is widened past the
// rounding of centre plus or minus radius.
struct Extent {
    Axes low;
    Axes high;
};

std::optional<Extent> extentOf(const Solid& s) {
    Extent e{};
    for (int i = 0; i < 3; ++i) {
        if (s.isBox) {
            e.low[i] = s.min[i];
            e.high[i] = s.max[i];
        } else {
            const double slack = (std::fabs(s.centre[i]) + s.radius) * 1e-9;
            e.low[i] = s.centre[i] - s.radius - slack;
            e.high[i] = s.centre[i] + s.radius + slack;
        }
        if (std::isnan(e.low[i]) || std::isnan(e.high[i])) return std::nullopt;
    }
    return e;
}

// A cell of one level of the grid; a level's cells are 2^level units on a side.
struct Cell {
    int level;
    std::array<int64_t, 3> at;
    bool operator==(const Cell&) const = default;
};

struct CellHash {
    size_t operator()(const Cell& c) const {
        uint64_t h = static_cast<uint64_t>(c.level);
        for (const int64_t v : c.at) h = (h ^ static_cast<uint64_t>(v)) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

struct CellRange {
    std::array<int64_t, 3> first;
    std::array<int64_t, 3> last;
};

template <typename Visit>
void forEachCell(const CellRange& r, Visit visit) {
    for (int64_t x = r.first[0]; x <= r.last[0]; ++x)
        for (int64_t y = r.first[1]; y <= r.last[1]; ++y)
            for (int64_t z = r.first[2]; z <= r.last[2]; ++z)
                visit(std::array<int64_t, 3>{x, y, z});
}

// Of the cells two ranges share, the one holding the lower corner of where
// they meet: the one cell where their pair is taken.
bool firstShared(const std::array<int64_t, 3>& cell, const CellRange& a, const CellRange& b) {
    for (int axis = 0; axis < 3; ++axis) {
        if (cell[axis] != std::max(a.first[axis], b.first[axis])) return false;
    }
    return true;
}

// Levels span at most this many halvings below the coarsest, which keeps cell
// numbers small; anything smaller shares the finest level's cells.
constexpr int kLevelSpan = 40;

// The smallest level whose cells are at least `size` units on a side.
int levelFor(double size) {
    if (!(size > 0.0)) return std::numeric_limits<int>::min();
    int exponent = 0;
    const double fraction = std::frexp(size, &exponent);
    return fraction == 0.5 ? exponent - 1 : exponent;
}

// A hierarchical grid in units of the median extent on each axis, so that
// rooms long on one axis still take a cell or two. Each solid lives at the
// level whose cells are twice its size on every axis, where it spans one
// cell per axis or two (its extents taken closed, which rounding cannot
// part); a pair is found once, by the solid at the finer level probing the
// coarser level's cells, in the cell where the lower corner of their common
// extent falls. A huge zone spanning everything sits at a coarse level in a
// few cells. Cutting infinite extents to the span of the finite ones and
// rounding can make extents that overlapped merely touch, never part them.
class OverlapGrid {
public:
    explicit OverlapGrid(std::span<const Solid> solids);
    std::vector<std::pair<size_t, size_t>> pairs() const;

private:
    struct Entry {
        size_t solid;
        Extent at;  // in units from the origin
        int level;
        CellRange cells;  // at its level
    };
    struct Frame {
        double origin;
        double unit;
        double span;
    };
    // The entries in one cell, as a list threaded through `held_`.
    struct Held {
        uint32_t entry;
        uint32_t next;
    };
    static constexpr uint32_t kEnd = UINT32_MAX;

    static Frame frameOf(std::vector<Entry>& entries, int axis);
    static void measure(std::vector<Entry>& entries);
    static CellRange cellsAt(const Entry& e, int level);
    void probe(uint32_t entry, int level, std::vector<std::pair<size_t, size_t>>& out) const;

    std::span<const Solid> solids_;
    std::vector<Entry> entries_;
    std::unordered_map<Cell, uint32_t, CellHash> cells_;  // the first in each
    std::vector<Held> held_;
    std::vector<int> levels_;  // the levels holding a solid, ascending
};

OverlapGrid::OverlapGrid(std::span<const Solid> solids) : solids_(solids) {
    for (size_t i = 0; i < solids.size(); ++i) {
        if (const auto e = extentOf(solids[i])) entries_.push_back({i, *e, 0, {}});
    }
    measure(entries_);
    cells_.reserve(2 * entries_.size());
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        e.cells = cellsAt(e, e.level);
        forEachCell(e.cells, [&](const auto& at) {
            const auto [cell, added] = cells_.try_emplace({e.level, at}, kEnd);
            held_.push_back({i, cell->second});
            cell->second = static_cast<uint32_t>(held_.size() - 1);
        });
        levels_.push_back(e.level);
    }
    std::sort(levels_.begin(), levels_.end());
    levels_.erase(std::unique(levels_.begin(), levels_.end()), levels_.end());
}

// One axis's frame: the span of the finite bounds, to which infinite ones
// are cut, and the median extent as the unit.
OverlapGrid::Frame OverlapGrid::frameOf(std::vector<Entry>& entries, int axis) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const Entry& e : entries) {
        for (const double v : {e.at.low[axis], e.at.high[axis]}) {
            if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
        }
    }
    if (low > high) low = high = 0.0;
    std::vector<double> sizes;
    for (Entry& e : entries) {
        e.at.low[axis] = std::clamp(e.at.low[axis], low, high);
        e.at.high[axis] = std::clamp(e.at.high[axis], low, high);
        sizes.push_back(e.at.high[axis] - e.at.low[axis]);
    }
    const auto middle = sizes.begin() + static_cast<ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    const double median = sizes.empty() ? 0.0 : *middle;
    const double span = high - low;
    return {low, median > 0.0 ? median : std::max(span, 1.0), span};
}

// Turns each extent into units from the origin and gives it its level.
void OverlapGrid::measure(std::vector<Entry>& entries) {
    std::array<Frame, 3> frames{};
    double units = 0.0;  // the largest span, in units
    for (int axis = 0; axis < 3; ++axis) {
        frames[axis] = frameOf(entries, axis);
        units = std::max(units, frames[axis].span / frames[axis].unit);
    }
    const int coarsest = std::max(levelFor(units), 0);
    for (Entry& e : entries) {
        double size = 0.0;
        for (int axis = 0; axis < 3; ++axis) {
            const Frame& f = frames[axis];
            e.at.low[axis] = (e.at.low[axis] - f.origin) / f.unit;
            e.at.high[axis] = (e.at.high[axis] - f.origin) / f.unit;
            size = std::max(size, e.at.high[axis] - e.at.low[axis]);
        }
        e.level = std::clamp(levelFor(2.0 * size), coarsest - kLevelSpan, coarsest);
    }
}

CellRange OverlapGrid::cellsAt(const Entry& e, int level) {
    // Cell numbers stay below 2^(kLevelSpan + 2): the span is at most
    // 2^coarsest units, and no level is finer than kLevelSpan below it. A
    // power of two scales without rounding.
    const double scale = std::ldexp(1.0, -level);
    auto cellOf = [scale](double v) {
        return static_cast<int64_t>(std::clamp(std::floor(v * scale), 0.0, 0x1p50));
    };
    CellRange r{};
    for (int axis = 0; axis < 3; ++axis) {
        r.first[axis] = cellOf(e.at.low[axis]);
        r.last[axis] = cellOf(e.at.high[axis]);
    }
    return r;
}

// The pairs of one entry with those at `level`: at its own level only those
// after it, so that each pair is found once.
void OverlapGrid::probe(uint32_t entry, int level,
                        std::vector<std::pair<size_t, size_t>>& out) const {
    const Entry& e = entries_[entry];
    const CellRange mine = level == e.level ? e.cells : cellsAt(e, level);
    forEachCell(mine, [&](const std::array<int64_t, 3>& at) {
        const auto found = cells_.find({level, at});
        if (found == cells_.end()) return;
        for (uint32_t h = found->second; h != kEnd; h = held_[h].next) {
            const Entry& other = entries_[held_[h].entry];
            if (level == e.level && held_[h].entry <= entry) continue;
            if (!firstShared(at, mine, other.cells)) continue;
            const auto [a, b] = std::minmax(e.solid, other.solid);
            if (insidesOverlap(solids_[a], solids_[b])) out.emplace_back(a, b);
        }
    });
}

std::vector<std::pair<size_t, size_t>> OverlapGrid::pairs() const {
    std::vector<std::pair<size_t, size_t>> out;
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        const auto from = std::lower_bound(levels_.begin(), levels_.end(), entries_[i].level);
        for (auto level = from; level != levels_.end(); ++level) probe(i, *level, out);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<std::pair<size_t, size_t>> overlappingPairs(std::span<const Solid> solids) {
    return OverlapGrid(solids).pairs();
}

}  // namespace tarvo
