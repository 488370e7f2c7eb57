#pragma once
// Gives each test its own kernel object names, so tests never meet each other, earlier runs or
// a real camera on the machine. Child processes inherit the names through the environment.
#include <gtest/gtest.h>

#include <string>

namespace orvanecam::testing {

// The suffix now in force; a new one for every test.
std::string UseFreshObjectNames();

class IsolatedNamesTest : public ::testing::Test {
  protected:
    void SetUp() override { m_suffix = UseFreshObjectNames(); }
    std::string m_suffix;
};

}  // namespace orvanecam::testing
