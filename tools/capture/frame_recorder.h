#pragma once
// Keeps what the capture tool receives: every frame in a Y4M file (I420), PNG snapshots of a
// few, and a summary of which frames were live pictures and which the vacant (black) one.
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "capture/stream_format.h"

namespace orvanecam::tools {

enum class FrameKind { kVacant, kBars, kOther };

// Black is the vacant picture; vertical bars of the producer tool's colours are its pattern.
FrameKind ClassifyFrame(const std::uint8_t* luma, PictureSize size);

class FrameRecorder {
  public:
    FrameRecorder(std::string folder, StreamFormat format, int frames);

    // Creates the folder and the Y4M file; false (with a message) when it cannot.
    bool Open();
    // One sample's data, on the streaming thread. Samples beyond the count, or shorter than a
    // frame, are not recorded.
    void Add(const std::uint8_t* data, long length);
    // Waits until the count is reached or timeoutMs passes; returns the frames recorded.
    int WaitForFrames(unsigned timeoutMs);
    // Writes summary.txt and returns its text.
    std::string Finish(const std::string& device);

  private:
    struct Snapshot {
        int index;
        FrameKind kind;
        std::vector<std::uint8_t> i420;
    };
    // Encoded after the capture, so that the streaming thread only copies.
    std::string WriteSnapshot(const Snapshot& snapshot);

    std::string m_folder;
    StreamFormat m_format;
    int m_target;
    std::size_t m_frameBytes;
    std::ofstream m_y4m;
    std::vector<std::uint8_t> m_i420;
    std::vector<std::uint8_t> m_rgb;
    std::mutex m_mutex;
    std::condition_variable m_progress;
    std::vector<FrameKind> m_kinds;
    std::vector<Snapshot> m_snapshots;
    std::uint64_t m_firstArrival = 0;
    std::uint64_t m_lastArrival = 0;
    int m_shortSamples = 0;
};

}  // namespace orvanecam::tools
