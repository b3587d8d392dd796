#include <gtest/gtest.h>

#include "core/handles.h"
#include "windef.h"

namespace {

struct Thing {
    int value;
};

TEST(HandleTable, StaleHandleFailsAfterRemoveAndSlotReuse) {
    plat::HandleTable<Thing> table(plat::HandleKind::Other);
    HANDLE a = table.Add<HANDLE>(std::make_shared<Thing>(Thing{1}));
    ASSERT_TRUE(table.Valid(a));
    table.Remove(a);
    EXPECT_FALSE(table.Valid(a));
    HANDLE b = table.Add<HANDLE>(std::make_shared<Thing>(Thing{2}));
    EXPECT_NE(a, b);
    EXPECT_FALSE(table.Valid(a));
    EXPECT_EQ(table.Get(b)->value, 2);
}

TEST(HandleTable, HandleOfAnotherKindIsRefused) {
    plat::HandleTable<Thing> windows(plat::HandleKind::Window);
    plat::HandleTable<Thing> dcs(plat::HandleKind::DC);
    HWND w = windows.Add<HWND>(std::make_shared<Thing>(Thing{1}));
    EXPECT_EQ(dcs.Get(w), nullptr);
    EXPECT_EQ(windows.Get(nullptr), nullptr);
    EXPECT_EQ(windows.Get(reinterpret_cast<void*>(uintptr_t(0xdeadbeef))), nullptr);
}

TEST(HandleTable, ObjectOutlivesRemovalWhileHeld) {
    plat::HandleTable<Thing> table(plat::HandleKind::Other);
    HANDLE a = table.Add<HANDLE>(std::make_shared<Thing>(Thing{7}));
    std::shared_ptr<Thing> held = table.Get(a);
    table.Remove(a);
    EXPECT_EQ(held->value, 7);
    EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
