#pragma once
// The module opens its block once per process, so every test of this program shares one block,
// under kernel object names chosen once, watched through a reader of its own.
#include <gtest/gtest.h>

#include "exchange/reader.h"

namespace orvanecam::testing {

// Chooses the names, opens the module's block and the reader (the first time only); false when
// either failed.
bool OpenModuleBlock();
exchange::FrameReader& ModuleReader();

class ModuleBlockTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OpenModuleBlock()); }
    static exchange::FrameReader& Reader() { return ModuleReader(); }
    static exchange::SharedBlock& Block() { return *ModuleReader().Block(); }
    static std::uint32_t Seq() { return ModuleReader().CurrentSeq(); }
};

}  // namespace orvanecam::testing
