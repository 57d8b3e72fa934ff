#include "tree/handles.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Handles, RoundTripKindIndexAndGeneration) {
    for (HandleKind kind : {HandleKind::kNode, HandleKind::kPortal}) {
        for (uint32_t index : {1u, 2u, 12345u, kMaxIndex}) {
            for (uint16_t generation : {0, 1, 300, 511, 512, 65535}) {
                const Handle h = makeHandle(kind, index, generation);
                EXPECT_NE(h, 0);
                const DecodedHandle d = decodeHandle(h);
                EXPECT_EQ(d.kind, kind);
                EXPECT_EQ(d.index, index);
                EXPECT_TRUE(sameGeneration(generation, d.generation));
                EXPECT_FALSE(sameGeneration(static_cast<uint16_t>(generation + 1), d.generation));
            }
        }
    }
}

}  // namespace
}  // namespace tarvo
