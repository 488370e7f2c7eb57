#pragma once
// The timeline of a playback: each video frame's time in the media, and the tick at which it goes
// to the camera. Plain arithmetic, so it is tested without a file.
#include <cstdint>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

namespace orvanecam::playback {

// Where a playback is in time: the tick its first read started at, the media time that tick
// stands for, the previous frame's media time and due offset, and the frames sent so far.
struct PlaybackClock {
    std::uint64_t startTick = 0;
    std::int64_t baseTime = AV_NOPTS_VALUE;
    std::int64_t lastTime = AV_NOPTS_VALUE;
    std::int64_t lastOffset = 0;
    std::uint64_t framesSent = 0;
};

// A frame's media time in milliseconds: its timestamp (in timeBase) when it has one, else its
// place at frameRate computed from its index exactly (not a rounded duration times the index),
// else 33 ms per frame.
std::int64_t FrameTimeMs(std::int64_t timestamp, AVRational timeBase, AVRational frameRate,
                         std::uint64_t index);

// The interval of frameRate in milliseconds (33 without a rate), at least 1.
std::int64_t FrameIntervalMs(AVRational frameRate);

// The tick at which the frame of media time timeMs is due. A time that jumps forward by more than
// a few frame intervals, or goes back by more than one, re-bases the timeline so that the frame
// is due one interval after the previous one: a file's broken timestamps never stall the
// producer or rush it.
std::uint64_t DueTick(PlaybackClock& clock, std::int64_t timeMs, std::int64_t intervalMs);

}  // namespace orvanecam::playback
