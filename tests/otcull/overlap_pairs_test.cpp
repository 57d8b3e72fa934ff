// The lint's broad phase finds exactly the overlapping pairs that comparing
// every pair finds, in every layout it must stay linear for.
#include "lint/overlap_pairs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace tarvo {
namespace {

using Pairs = std::vector<std::pair<size_t, size_t>>;

Pairs allPairs(const std::vector<Solid>& solids) {
    auto hasNaN = [](const Solid& s) {
        for (int i = 0; i < 3; ++i) {
            for (const double v : {s.min[i], s.max[i], s.centre[i], s.radius})
                if (std::isnan(v)) return true;
        }
        return false;
    };
    Pairs pairs;
    for (size_t i = 0; i < solids.size(); ++i) {
        for (size_t j = i + 1; j < solids.size(); ++j) {
            if (!hasNaN(solids[i]) && !hasNaN(solids[j]) && insidesOverlap(solids[i], solids[j]))
                pairs.emplace_back(i, j);
        }
    }
    return pairs;
}

Solid box(std::array<double, 3> low, std::array<double, 3> high) {
    Solid s{};
    s.isBox = true;
    for (int i = 0; i < 3; ++i) s.min[i] = low[i], s.max[i] = high[i];
    return s;
}

Solid sphere(std::array<double, 3> centre, double radius) {
    Solid s{};
    s.radius = radius;
    for (int i = 0; i < 3; ++i) s.centre[i] = centre[i];
    return s;
}

// Rooms on a lattice of `cells` (x, y, z) of `size`, each a random half to
// one and a half cells wide, so neighbours often overlap or share a face;
// some are spheres, a few are nested in the one before.
struct Layout {
    const char* name;
    std::array<int, 3> cells;
    std::array<double, 3> size;
    int spheresInTen;
    int nestedInTen;
};

std::vector<Solid> rooms(const Layout& layout, std::mt19937& random) {
    std::vector<Solid> solids;
    const auto [nx, ny, nz] = layout.cells;
    for (int i = 0; i < nx * ny * nz; ++i) {
        const std::array<int, 3> cell{i % nx, i / nx % ny, i / (nx * ny)};
        std::array<double, 3> low{}, high{};
        for (int a = 0; a < 3; ++a) {
            const double half = layout.size[a] * static_cast<double>(2 + random() % 5) / 8.0;
            low[a] = cell[a] * layout.size[a] - half;
            high[a] = cell[a] * layout.size[a] + half;
        }
        if (static_cast<int>(random() % 10) < layout.nestedInTen && !solids.empty()) {
            const Solid& outer = solids.back();
            for (int a = 0; a < 3; ++a)
                low[a] = outer.min[a] + 0.25, high[a] = std::max(outer.max[a] - 0.25, low[a]);
        }
        solids.push_back(
            static_cast<int>(random() % 10) < layout.spheresInTen
                ? sphere({(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2},
                         (high[1] - low[1]) / 2)
                : box(low, high));
    }
    return solids;
}

TEST(OverlapPairs, AreThoseOfAllPairsInEveryLayout) {
    const Layout layouts[] = {
        {"a row along x", {200, 1, 1}, {10, 3, 10}, 0, 0},
        {"a row along y", {1, 200, 1}, {10, 3, 10}, 0, 0},
        {"a row along z", {1, 1, 200}, {10, 3, 10}, 0, 0},
        {"a tower", {2, 60, 2}, {10, 3, 10}, 1, 0},
        {"a grid", {15, 1, 15}, {4, 3, 6}, 2, 0},
        {"a block of spheres", {6, 6, 6}, {1, 1, 1}, 8, 0},
        {"nested rooms", {40, 2, 2}, {5, 5, 5}, 1, 5},
    };
    size_t found = 0;
    for (const Layout& layout : layouts) {
        std::mt19937 random(11);
        const std::vector<Solid> solids = rooms(layout, random);
        const Pairs expected = allPairs(solids);
        EXPECT_EQ(overlappingPairs(solids), expected) << layout.name;
        found += expected.size();
    }
    EXPECT_GT(found, 1000u);
}

TEST(OverlapPairs, DegenerateSolidsAreThoseOfAllPairs) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937 random(3);
    std::vector<Solid> solids = rooms({"a row", {50, 1, 1}, {2, 2, 2}, 2, 0}, random);
    const std::vector<std::vector<Solid>> sets = {
        // Meeting only beyond the last finite bound.
        {box({0, 0, 0}, {inf, 1, 1}), box({10, 0, 0}, {inf, 1, 1})},
        {
            box({-1e30, -1e30, -1e30}, {1e30, 1e30, 1e30}),  // spans everything
            box({-inf, 0, 0}, {inf, 1, 1}),
            box({-inf, -inf, -inf}, {0, 0, 0}),
            box({100, 0, 0}, {inf, 1, 1}),
            box({3, 0, 0}, {3, 1, 1}),              // no width
            box({0, 0, 0}, {1e-30, 1e-30, 1e-30}),  // far finer than the rest
            box({nan, 0, 0}, {1, 1, 1}),
            box({0, 0, 0}, {1, nan, 1}),
            sphere({nan, 0, 0}, 1),
            sphere({5, 0.5, 0.5}, 0),  // a point
            sphere({1e6, 0, 0}, inf),
            sphere({-1e7, 3, 3}, 1e-3),
        },
    };
    for (const std::vector<Solid>& set : sets) {
        EXPECT_EQ(overlappingPairs(set), allPairs(set));
        std::vector<Solid> mixed = solids;
        for (size_t i = 0; i < set.size(); ++i) mixed.insert(mixed.begin() + 4 * i, set[i]);
        EXPECT_EQ(overlappingPairs(mixed), allPairs(mixed));
    }
    EXPECT_TRUE(overlappingPairs({}).empty());
}

}  // namespace
}  // namespace tarvo
