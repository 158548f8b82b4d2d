// Face ordering: draw-order entries of a face array, their depth keys and the painter's
// sort (farthest first) that orders them.
#include <utility>

#include "fx/fx.h"

void FillFaceRefs(FaceRef* refs, MeshFace* faces, int count) {
    for (int i = 0; i < count; ++i) refs[i].face = &faces[i];
}

// Keys come from face i of the array, not from the face entry i points to: callers refill
// the entries first, as the previous sort has permuted them.
void ComputeFaceKeys(FaceRef* refs, const MeshFace* faces, int count) {
    for (int i = 0; i < count; ++i) {
        const MeshFace& f = faces[i];
        refs[i].key = f.a->z + f.b->z + f.c->z;
    }
}

// The array being sorted, held for the duration of SortFaceRefs.
static FaceRef* sortRefs = nullptr;

// Hoare-style quicksort of sortRefs[lo..hi] by descending key around the middle entry's
// key. Entries equal to the pivot may be swapped, so equal keys end in the order this
// procedure gives; the two recursive ranges may share one entry, which stays in place.
static void SortFaceRefRange(int lo, int hi) {
    const float pivot = sortRefs[(lo + hi) >> 1].key;
    int i = lo, j = hi;
    while (i < j) {
        while (sortRefs[i].key > pivot) ++i;
        while (pivot > sortRefs[j].key) --j;
        if (i <= j) {
            std::swap(sortRefs[i], sortRefs[j]);
            ++i;
            --j;
        }
    }
    if (lo < j) SortFaceRefRange(lo, j);
    if (i < hi) SortFaceRefRange(i, hi);
}

// Arrays of fewer than two entries are already sorted and are not read (an empty range
// would otherwise take its pivot from entry -1).
void SortFaceRefs(FaceRef* refs, int count) {
    if (count < 2) return;
    sortRefs = refs;
    SortFaceRefRange(0, count - 1);
    sortRefs = nullptr;
}
