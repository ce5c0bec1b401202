#pragma once
// Runs an operation once with each of its allocations failing in turn.

#include <gtest/gtest.h>

#include "base/alloc.hpp"

namespace novu {

// attempt(arm) sets up what it needs, calls arm() right before the operation under test, runs it
// and makes its own checks; it runs again with the next allocation failing until a run in which
// no injected failure fired. Returns how many allocations the operation made. Meant for
// operations that may get by without the failed block: the attempt decides what is acceptable.
template <class Attempt>
unsigned long each_allocation_failing(Attempt attempt) {
  for (unsigned long k = 0;; ++k) {
    SCOPED_TRACE(testing::Message() << "with allocation " << k << " failing");
    attempt([k] { mem_fail_after(k); });
    const bool fired = !mem_fail_pending();
    mem_fail_disarm();
    if (!fired) return k;
  }
}

// The same, for operations without a fallback: attempt(arm) returns whether the operation gave
// its documented failure result, which must happen exactly when the injected failure fired.
template <class Attempt>
unsigned long expect_each_allocation_failure_handled(Attempt attempt) {
  return each_allocation_failing([&attempt](auto arm) {
    const bool failed = attempt(arm);
    EXPECT_EQ(failed, !mem_fail_pending());
  });
}

}  // namespace novu
