// The attachment pool against a plain list per node, through long random runs
// of interleaved attaching, detaching and freeing.
#include "tree/attachment_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tarvo {
namespace {

struct PoolRun {
    const char* name;
    int nodes;
    int objects;  // few objects: many equal entries for removal to find
    int addWeight, removeWeight, clearWeight;
};

TEST(AttachmentPoolTest, KeepsEveryNodesEntriesInOrderAndSqueezesHoles) {
    const PoolRun runs[] = {
        {"interleaved growth", 8, 1000, 20, 1, 0},
        {"churn", 50, 4, 5, 3, 1},
        {"mostly freeing", 200, 50, 3, 1, 2},
    };
    for (const PoolRun& run : runs) {
        SCOPED_TRACE(run.name);
        AttachmentPool pool;
        pool.matchNodeSlots(static_cast<size_t>(run.nodes) + 1, static_cast<size_t>(run.nodes) + 1);
        std::vector<std::vector<OtAttachment>> model(static_cast<size_t>(run.nodes) + 1);
        std::mt19937 random(17);
        std::discrete_distribution<int> action(
            {double(run.addWeight), double(run.removeWeight), double(run.clearWeight)});
        size_t inUse = 0;
        for (int step = 0; step < 20000; ++step) {
            const auto node = static_cast<NodeIndex>(1 + random() % run.nodes);
            const OtAttachment a{static_cast<int32_t>(random() % run.objects),
                                 static_cast<int32_t>(random() % 3) - 1};
            std::vector<OtAttachment>& list = model[node];
            switch (action(random)) {
                case 0:
                    pool.add(node, a);
                    list.push_back(a);
                    break;
                case 1:
                    pool.remove(node, a);
                    std::erase(list, a);
                    break;
                default:
                    pool.clear(node);
                    list.clear();
                    break;
            }
            inUse = 0;
            for (const auto& l : model) inUse += l.size();
            const std::span<const OtAttachment> held = pool.of(node);
            ASSERT_TRUE(std::equal(held.begin(), held.end(), list.begin(), list.end()))
                << "step " << step;
        }
        // Every node's block lies in the pool's one array. A block moved to
        // grow leaves as many holes again as it holds, and padding to double
        // into, and holes are squeezed out once they outnumber the entries:
        // the blocks never spread over more than four slots per entry.
        const OtAttachment* lowest = nullptr;
        const OtAttachment* highest = nullptr;
        for (NodeIndex n = 1; n < model.size(); ++n) {
            const std::span<const OtAttachment> held = pool.of(n);
            EXPECT_TRUE(std::equal(held.begin(), held.end(), model[n].begin(), model[n].end()));
            if (held.empty()) continue;
            if (lowest == nullptr || held.data() < lowest) lowest = held.data();
            if (highest == nullptr || held.data() + held.size() > highest)
                highest = held.data() + held.size();
        }
        EXPECT_LE(static_cast<size_t>(highest - lowest), 4 * inUse + 64);
    }
}

}  // namespace
}  // namespace tarvo
