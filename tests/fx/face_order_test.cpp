// Draw-order entries, depth keys and the painter's sort.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"

TEST(FaceOrder, KeysSortFarthestFirstAndFacesMoveWithThem) {
    MeshFace faces[4] = {};
    FaceRef refs[4];
    FillFaceRefs(refs, faces, 4);
    const float keys[4] = {3, 1, 2, 2};
    for (int i = 0; i < 4; ++i) refs[i].key = keys[i];
    SortFaceRefs(refs, 4);
    EXPECT_EQ(refs[0].key, 3);
    EXPECT_EQ(refs[1].key, 2);
    EXPECT_EQ(refs[2].key, 2);
    EXPECT_EQ(refs[3].key, 1);
    EXPECT_EQ(refs[0].face, &faces[0]);
    EXPECT_EQ(refs[3].face, &faces[1]);

    FaceRef one[1] = {{&faces[2], 5}};
    SortFaceRefs(one, 1);
    EXPECT_EQ(one[0].face, &faces[2]);
    // Reading any entry of an empty array through a null pointer would crash.
    EXPECT_EXIT((SortFaceRefs(nullptr, 0), std::exit(0)), ::testing::ExitedWithCode(0), "");
}

TEST(FaceOrder, SortIsADescendingPermutationForAnyKeys) {
    std::mt19937 rng(11);
    std::vector<MeshFace> faces(600);
    std::vector<FaceRef> refs(600);
    for (int round = 0; round < 300; ++round) {
        const int n = std::uniform_int_distribution<int>(2, 600)(rng);
        std::uniform_int_distribution<int> pick(0, round % 3 == 0 ? 2 : 100000);  // many ties, or few
        FillFaceRefs(refs.data(), faces.data(), n);
        for (int i = 0; i < n; ++i) refs[i].key = pick(rng) * 0.5f;
        std::vector<std::pair<MeshFace*, float>> before, after;
        for (int i = 0; i < n; ++i) before.push_back({refs[i].face, refs[i].key});
        SortFaceRefs(refs.data(), n);
        for (int i = 0; i < n; ++i) after.push_back({refs[i].face, refs[i].key});
        for (int i = 1; i < n; ++i) ASSERT_GE(refs[i - 1].key, refs[i].key) << "round " << round;
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        ASSERT_EQ(before, after) << "entries lost or duplicated in round " << round;
    }
}

TEST(FaceOrder, KeysComeFromTheFaceArrayNotTheEntries) {
    ScreenVertex v[3] = {};
    v[0].z = 1, v[1].z = 10, v[2].z = 100;
    MeshFace faces[2] = {{&v[0], &v[0], &v[1], 0, 0, 1}, {&v[2], &v[2], &v[2], 2, 2, 2}};
    FaceRef refs[2];
    FillFaceRefs(refs, faces, 2);
    std::swap(refs[0], refs[1]);  // as a previous frame's sort leaves them
    ComputeFaceKeys(refs, faces, 2);
    EXPECT_EQ(refs[0].key, 12);
    EXPECT_EQ(refs[1].key, 300);
}
