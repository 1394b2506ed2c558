#include <gtest/gtest.h>
TEST(Companynames, Placeholder) {}
