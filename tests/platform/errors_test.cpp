#include "platform/errors.h"

#include <gtest/gtest.h>

namespace fbc {
namespace {

TEST(RuntimeErrorTest, CarriesNumberAndDetail) {
  try {
    raise(ErrorNumber::FileNotFound, "records.txt");
    FAIL() << "raise returned";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.code(), 53);
    EXPECT_EQ(error.detail(), "records.txt");
    EXPECT_STREQ(error.what(), "run-time error 53: file not found (records.txt)");
  }
}

}  // namespace
}  // namespace fbc
