#pragma once

namespace fbc::testing_support {

// Heap allocations made through operator new since the program started. Kept in its own
// translation unit so that the replaced operators are never inlined into a test.
long allocationCount() noexcept;

}  // namespace fbc::testing_support
