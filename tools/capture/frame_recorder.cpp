#include "capture/frame_recorder.h"

#include <libyuv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "capture/png_file.h"
#include "platform/clock.h"

namespace orvanecam::tools {
namespace {

constexpr int kSnapshotCount = 5;
constexpr int kListedRuns = 12;

const char* KindName(FrameKind kind) {
    return kind == FrameKind::kVacant ? "vacant" : kind == FrameKind::kBars ? "live" : "other";
}

std::size_t PlaneBytes(PictureSize size) {
    return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
}

// "1-30 vacant, 31-120 live, ..." over the frames' kinds.
std::string Runs(const std::vector<FrameKind>& kinds) {
    std::ostringstream text;
    int listed = 0;
    for (std::size_t start = 0; start < kinds.size();) {
        std::size_t end = start;
        while (end + 1 < kinds.size() && kinds[end + 1] == kinds[start]) ++end;
        if (listed == kListedRuns) {
            text << ", ...";
            break;
        }
        text << (listed++ == 0 ? "" : ", ") << start + 1 << '-' << end + 1 << ' '
             << KindName(kinds[start]);
        start = end + 1;
    }
    return text.str();
}

}  // namespace

FrameKind ClassifyFrame(const std::uint8_t* luma, PictureSize size) {
    // Every fourth row and column: a torn or foreign picture differs over far more than that, and
    // judging must not be what limits a machine running many clients.
    constexpr std::size_t kStep = 4;
    const auto width = static_cast<std::size_t>(size.width);
    const auto height = static_cast<std::size_t>(size.height);
    const auto isBlack = [&](const std::uint8_t* row) {
        for (std::size_t x = 0; x < width; x += kStep) {
            if (row[x] > 20) return false;
        }
        return true;
    };
    // Vertical bars: every row repeats the first picture row, apart from black letterbox rows.
    const std::uint8_t* reference = nullptr;
    for (std::size_t y = 0; y < height; y += kStep) {
        const std::uint8_t* row = luma + y * width;
        if (isBlack(row)) continue;
        if (reference == nullptr) reference = row;
        for (std::size_t x = 0; x < width; x += kStep) {
            if (std::abs(row[x] - reference[x]) > 6) return FrameKind::kOther;
        }
    }
    if (reference == nullptr) return FrameKind::kVacant;
    constexpr int kBarLuma[] = {235, 210, 170, 145, 106, 81, 41, 16};
    const int seen =
        static_cast<int>(std::count_if(std::begin(kBarLuma), std::end(kBarLuma), [&](int level) {
            return std::any_of(reference, reference + width,
                               [&](std::uint8_t y) { return std::abs(y - level) <= 4; });
        }));
    return seen >= 6 ? FrameKind::kBars : FrameKind::kOther;
}

FrameRecorder::FrameRecorder(std::string folder, StreamFormat format, int frames)
    : m_folder(std::move(folder)),
      m_format(format),
      m_target(frames),
      m_frameBytes(format.format == PixelFormat::kNv12 ? PlaneBytes(format.size) * 3 / 2
                                                       : PlaneBytes(format.size) * 2),
      m_i420(PlaneBytes(format.size) * 3 / 2),
      m_rgb(PlaneBytes(format.size) * 3) {
    m_kinds.reserve(static_cast<std::size_t>(frames));
}

bool FrameRecorder::Open() {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    m_y4m.open(m_folder + "/capture.y4m", std::ios::binary | std::ios::trunc);
    if (!m_y4m) {
        std::fprintf(stderr, "cannot write %s/capture.y4m\n", m_folder.c_str());
        return false;
    }
    const int rate = static_cast<int>(m_format.framesPerSecond * 1000 + 0.5);
    m_y4m << "YUV4MPEG2 W" << m_format.size.width << " H" << m_format.size.height << " F"
          << (rate > 0 ? rate : 30000) << ":1000 Ip A1:1 C420jpeg\n";
    return true;
}

void FrameRecorder::Add(const std::uint8_t* data, long length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (static_cast<int>(m_kinds.size()) >= m_target) return;
    if (data == nullptr || length < 0 || static_cast<std::size_t>(length) < m_frameBytes) {
        ++m_shortSamples;
        return;
    }
    const int width = m_format.size.width;
    const int height = m_format.size.height;
    std::uint8_t* y = m_i420.data();
    std::uint8_t* u = y + PlaneBytes(m_format.size);
    std::uint8_t* v = u + PlaneBytes(m_format.size) / 4;
    if (m_format.format == PixelFormat::kNv12) {
        libyuv::NV12ToI420(data, width, data + PlaneBytes(m_format.size), width, y, width, u,
                           width / 2, v, width / 2, width, height);
    } else {
        libyuv::YUY2ToI420(data, width * 2, y, width, u, width / 2, v, width / 2, width, height);
    }
    m_y4m << "FRAME\n";
    m_y4m.write(reinterpret_cast<const char*>(m_i420.data()),
                static_cast<std::streamsize>(m_i420.size()));

    const FrameKind kind = ClassifyFrame(y, m_format.size);
    m_kinds.push_back(kind);
    const int index = static_cast<int>(m_kinds.size()) - 1;
    const int spacing = std::max(1, m_target / kSnapshotCount);
    if (index % spacing == spacing / 2) m_snapshots.push_back({index, kind, m_i420});

    m_lastArrival = platform::TickCountMs();
    if (index == 0) m_firstArrival = m_lastArrival;
    m_progress.notify_all();
}

std::string FrameRecorder::WriteSnapshot(const Snapshot& snapshot) {
    const int width = m_format.size.width;
    const int height = m_format.size.height;
    const std::uint8_t* y = snapshot.i420.data();
    const std::uint8_t* u = y + PlaneBytes(m_format.size);
    const std::uint8_t* v = u + PlaneBytes(m_format.size) / 4;
    // libyuv's "RAW" is R, G, B in memory order, as PNG stores it.
    libyuv::I420ToRAW(y, width, u, width / 2, v, width / 2, m_rgb.data(), width * 3, width, height);
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%04d.png", snapshot.index + 1);
    if (!WritePng(m_folder + "/" + name, width, height, m_rgb)) return {};
    return std::string(" ") + name + " (" + KindName(snapshot.kind) + ")";
}

int FrameRecorder::WaitForFrames(unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_progress.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return static_cast<int>(m_kinds.size()) >= m_target; });
    return static_cast<int>(m_kinds.size());
}

std::string FrameRecorder::Finish(const std::string& device) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_y4m.close();
    const auto count = [&](FrameKind kind) {
        return std::count(m_kinds.begin(), m_kinds.end(), kind);
    };
    const double seconds = static_cast<double>(m_lastArrival - m_firstArrival) / 1000.0;
    const double measured =
        m_kinds.size() > 1 && seconds > 0 ? static_cast<double>(m_kinds.size() - 1) / seconds : 0.0;
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(1);
    text << "device:    " << device << '\n'
         << "format:    " << (m_format.format == PixelFormat::kNv12 ? "NV12 " : "YUY2 ")
         << m_format.size.width << 'x' << m_format.size.height << " at " << m_format.framesPerSecond
         << " fps offered\n"
         << "frames:    " << m_kinds.size() << " of " << m_target << " captured in " << seconds
         << " s, " << measured << " fps measured\n"
         << "live:      " << count(FrameKind::kBars) << " (the producer's moving bars)\n"
         << "vacant:    " << count(FrameKind::kVacant) << " (black: the camera's vacant picture)\n"
         << "other:     " << count(FrameKind::kOther)
         << " (neither: a played file, a custom vacant picture)\n"
         << "short:     " << m_shortSamples << " samples shorter than a frame\n"
         << "runs:      " << Runs(m_kinds) << '\n'
         << "snapshots:";
    for (const Snapshot& snapshot : m_snapshots) text << WriteSnapshot(snapshot);
    text << "\nvideo:     capture.y4m (I420; play it with: ffplay capture.y4m)\n";
    std::ofstream(m_folder + "/summary.txt", std::ios::binary) << text.str();
    return text.str();
}

}  // namespace orvanecam::tools
