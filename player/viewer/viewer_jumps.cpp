// Jump targets of the viewer's keys, by part and by song order.
#include "player/viewer/viewer.h"

namespace {
// In its first rows a part's start counts as the previous part (a second Left goes on back).
constexpr int kPartStartGraceRows = 16;
constexpr int kLastStartOrder = kShowEndOrder - 1;

// Row of kShowParts of the part playing at order.
int PartAt(int order) {
    int part = 0;
    while (part + 1 < kPartCount && PartStartOrder(part + 1) <= order) ++part;
    return part;
}
}  // namespace

int JumpTarget(Jump jump, int order, int row) {
    const int part = PartAt(order);
    switch (jump) {
    case Jump::PartBack:
        if (order == PartStartOrder(part) && row < kPartStartGraceRows && part > 0)
            return PartStartOrder(part - 1);
        return PartStartOrder(part);
    case Jump::PartOn: return part + 1 < kPartCount ? PartStartOrder(part + 1) : -1;
    case Jump::OrderBack: return order > 0 ? order - 1 : 0;
    case Jump::OrderOn: return order < kLastStartOrder ? order + 1 : -1;
    case Jump::Beginning: return 0;
    }
    return -1;
}
