#include <gtest/gtest.h>
TEST(Searchname, Placeholder) {}
