// Filled in below.
#include <gtest/gtest.h>
