#include "pipewire/bridge.h"

#include <algorithm>
#include <cstdio>

#include "exchange/reader.h"
#include "filter/format_catalogue.h"
#include "platform/clock.h"
#include "platform/utf16.h"
#include "settings/user_settings.h"

namespace orvanecam::tools {
namespace {

using Layout = platform::PipeWireVideoSource::Layout;

constexpr std::int64_t kUnitsPerSecond = 10000000;
constexpr std::size_t kMaxNameBytes = 130;  // 64 UTF-16 units and the terminator
constexpr int kIdleMs = 20;

picture::MediaFrame MediaOf(const PipeWireFormat& format) {
    return {format.width, format.height,
            format.layout == Layout::kNv12 ? picture::SampleFormat::kNv12
                                           : picture::SampleFormat::kYuy2};
}

}  // namespace

std::vector<PipeWireFormat> OfferedFormats() {
    exchange::FrameReader& reader = exchange::ReaderExchange();
    reader.OpenReaderBlock();
    const filter::FormatCatalogue catalogue = filter::ReadCatalogue(reader);
    std::vector<PipeWireFormat> formats;
    for (const picture::SampleFormat format : catalogue.YuvFormats()) {
        const Layout layout =
            format == picture::SampleFormat::kNv12 ? Layout::kNv12 : Layout::kYuy2;
        for (int index = 0; index < catalogue.SizeCount(); ++index) {
            const filter::FormatEntry& entry = catalogue.Entry(index);
            formats.push_back({entry.width, entry.height, layout, catalogue.FramesPerSecond()});
        }
    }
    return formats;
}

std::string DeviceName() {
    const std::u16string name =
        settings::ReadUserSetting(settings::kFriendlyNameValue, kMaxNameBytes);
    return name.empty() ? "OrvaneCam" : platform::Utf16ToUtf8(name);
}

PipeWireBridge::PipeWireBridge(bool verbose)
    : m_sampler(exchange::ReaderExchange()),
      m_verbose(verbose),
      m_offered(OfferedFormats()),
      m_name(DeviceName()) {}

void PipeWireBridge::FormatChosen(const std::optional<PipeWireFormat>& format) {
    m_format = format;
    m_restart = format.has_value();
    if (m_verbose && format) {
        std::printf("consumer chose %dx%d %s at %d fps\n", format->width, format->height,
                    format->layout == Layout::kNv12 ? "NV12" : "YUY2", format->fps);
        std::fflush(stdout);
    }
}

void PipeWireBridge::Fill(const PipeWireFormat& format, std::uint8_t* data, std::size_t size) {
    m_sampler.Render(m_slot, data, size, MediaOf(format));
}

int PipeWireBridge::Tick(platform::PipeWireVideoSource& source) {
    if (platform::MonotonicTime100ns() >= m_nextLook) LookAround(source);
    if (!m_format) return kIdleMs;
    if (m_restart) {
        m_restart = false;
        m_sampler.Source().Restart();
        m_sampler.Start(kUnitsPerSecond / std::max(1, m_format->fps));
    }
    m_slot = m_sampler.WaitForSlot();
    if (source.Push()) {
        ++m_pushed;
    } else {
        m_sampler.Skip(m_slot);
        ++m_missed;
    }
    return 0;
}

void PipeWireBridge::LookAround(platform::PipeWireVideoSource& source) {
    m_nextLook = platform::MonotonicTime100ns() + kUnitsPerSecond;
    if (std::vector<PipeWireFormat> offered = OfferedFormats(); offered != m_offered) {
        m_offered = std::move(offered);
        source.Offer(m_offered);
    }
    if (std::string name = DeviceName(); name != m_name) {
        m_name = std::move(name);
        source.Rename(m_name);
    }
    if (m_verbose) {
        std::printf("frames %lld, no free buffer %lld, dropped slots %lld\n",
                    static_cast<long long>(m_pushed), static_cast<long long>(m_missed),
                    static_cast<long long>(m_sampler.Schedule().DroppedCount()));
        std::fflush(stdout);
    }
}

}  // namespace orvanecam::tools
