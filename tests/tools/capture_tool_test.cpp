// The capture tool's judgement of what it received, and the command lines of the tools.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture/frame_recorder.h"
#include "capture/stream_format.h"
#include "common/command_line.h"
#include "common/moving_bars.h"

namespace orvanecam::tools {
namespace {

TEST(ClassifyFrameTest, TellsTheProducersBarsFromTheVacantPictureAndAnythingElse) {
    const PictureSize size{64, 16};
    MovingBars bars(size);
    for (const int n : {0, 1, 7, 40}) {
        EXPECT_EQ(ClassifyFrame(bars.Render(n).data(), size), FrameKind::kBars) << n;
    }

    std::vector<std::uint8_t> black(64 * 16, 16);
    EXPECT_EQ(ClassifyFrame(black.data(), size), FrameKind::kVacant);

    // Letterboxed bars (black rows above and below) are still the producer's picture.
    std::vector<std::uint8_t> letterboxed = black;
    std::memcpy(letterboxed.data() + 64 * 4, bars.Render(3).data(), 64 * 8);
    EXPECT_EQ(ClassifyFrame(letterboxed.data(), size), FrameKind::kBars);

    // A frame torn between two pictures is not.
    std::vector<std::uint8_t> torn(bars.Render(0).begin(), bars.Render(0).begin() + 64 * 16);
    std::memcpy(torn.data() + 64 * 8, bars.Render(5).data(), 64 * 8);
    EXPECT_EQ(ClassifyFrame(torn.data(), size), FrameKind::kOther);

    std::vector<std::uint8_t> grey(64 * 16, 128);
    EXPECT_EQ(ClassifyFrame(grey.data(), size), FrameKind::kOther);
}

TEST(DescribeFormatTest, ReadsOnlyWholeVideoFormatBlocks) {
    VIDEOINFOHEADER info{};
    info.AvgTimePerFrame = 333333;
    info.bmiHeader.biWidth = 640;
    info.bmiHeader.biHeight = 360;
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_YUY2;
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = sizeof(info);
    type.pbFormat = reinterpret_cast<BYTE*>(&info);

    const auto format = DescribeFormat(type);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->format, PixelFormat::kYuy2);
    EXPECT_EQ(format->size.width, 640);
    EXPECT_EQ(format->size.height, 360);
    EXPECT_NEAR(format->framesPerSecond, 30.0, 0.01);

    type.cbFormat = sizeof(info) - 1;
    EXPECT_FALSE(DescribeFormat(type));
    type.cbFormat = sizeof(info);
    type.formattype = FORMAT_VideoInfo2;  // 88 bytes cannot be a VIDEOINFOHEADER2
    EXPECT_FALSE(DescribeFormat(type));
    type.formattype = FORMAT_VideoInfo;
    type.subtype = MEDIATYPE_Video;
    EXPECT_FALSE(DescribeFormat(type));
}

TEST(CommandLineTest, AcceptsKnownOptionsOnceAndChecksTheirValues) {
    const auto parse = [](std::vector<const char*> args, CommandLine& line) {
        args.insert(args.begin(), "tool");
        return line.Parse(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                          {"--size", "--frames"}, {"--list"});
    };
    CommandLine good;
    ASSERT_TRUE(parse({"--size", "640x360", "--list", "--frames", "12"}, good));
    EXPECT_TRUE(good.Has("--list"));
    EXPECT_EQ(good.Number("--frames", 1, 100), 12);
    EXPECT_FALSE(good.Number("--frames", 20, 100));
    ASSERT_TRUE(good.Size("--size"));
    EXPECT_EQ(good.Size("--size")->height, 360);

    for (const char* size : {"640", "640x", "x360", "0x360", "640x360x", "4097x2", "64x-2"}) {
        CommandLine line;
        ASSERT_TRUE(parse({"--size", size}, line));
        EXPECT_FALSE(line.Size("--size")) << size;
    }
    CommandLine unknown, missing, repeated;
    EXPECT_FALSE(parse({"--colour", "red"}, unknown));
    EXPECT_FALSE(parse({"--frames"}, missing));
    EXPECT_FALSE(parse({"--list", "--list"}, repeated));
}

}  // namespace
}  // namespace orvanecam::tools
