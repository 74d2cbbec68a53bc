#include "host/KernelLock.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// A long load makes millions of kernel calls and name lookups; the stand-in's bookkeeping must
// not show up as the product's cost. These tests count the heap allocations of calls that no test
// records and no failure switch targets, after a first call has set up whatever is reused.

#if defined(__SANITIZE_ADDRESS__)
#define QELMAR_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QELMAR_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef QELMAR_COUNTS_ALLOCATIONS
#define QELMAR_COUNTS_ALLOCATIONS 1
#endif

namespace {

thread_local bool t_counting = false;
thread_local long t_allocations = 0;

// Counts the allocations of this thread while it lives.
class AllocationCount {
public:
    AllocationCount() {
        t_allocations = 0;
        t_counting = true;
    }
    ~AllocationCount() { t_counting = false; }
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;
    long allocations() const { return t_allocations; }
};

} // namespace

#if QELMAR_COUNTS_ALLOCATIONS
// The sanitisers replace these themselves; everywhere else this executable counts through them.
void* operator new(std::size_t size) {
    if (t_counting)
        ++t_allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#endif

namespace {

using qelmar::standin::FailMode;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

class KernelCallCost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QELMAR_COUNTS_ALLOCATIONS)
            GTEST_SKIP() << "the sanitiser's allocator cannot be counted";
    }

    KernelTestControl m_control;
};

TEST_F(KernelCallCost, CallsAllocateNothingUnlessRecordedOrSwitchedOffByName) {
    QelAppLockIsHeld();
    {
        const AllocationCount count;
        for (int i = 0; i < 100; ++i)
            QelAppLockIsHeld();
        EXPECT_EQ(count.allocations(), 0);
    }
    // A switch on another call is looked up by the call's name without building a string of it.
    m_control.failCall("QelUtilSaveLayoutX", FailMode::Always);
    QelAppLockIsHeld();
    const AllocationCount count;
    for (int i = 0; i < 100; ++i)
        QelAppLockIsHeld();
    EXPECT_EQ(count.allocations(), 0);
}

// Names longer than a short string's inline buffer, so that any copy of them reaches the heap.
TEST_F(KernelCallCost, LookingUpLongVariableNamesAllocatesNothingExactlyByCaseOrAroundBlanks) {
    const StringList list{"Temperature_at_the_surface", "x_coordinate_of_the_node\ny_coordinate_of_the_node",
                          "Pressure_in_the_first_zone"};
    ASSERT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "Pressure_in_the_first_zone"), 2);
    const AllocationCount count;
    EXPECT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "Temperature_at_the_surface"), 0);
    EXPECT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "  TEMPERATURE_AT_THE_SURFACE\t"), 0);
    EXPECT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "y_coordinate_of_the_node"), 1);
    EXPECT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "Y_Coordinate_Of_The_Node "), 1);
    EXPECT_EQ(QelAppVarNameListGetVarOffset(list.getRef(), "pressure_in_the_second_zone"), -1);
    EXPECT_EQ(count.allocations(), 0);
}

} // namespace
