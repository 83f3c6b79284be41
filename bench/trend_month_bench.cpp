// Dense-trend benchmark: one 800x600 trend picture of 4 curves over a month of one-second
// records (10.4M records), read through the archive interface and drawn, timed per picture.
// The archive makes its records on the fly (a slow wave with a one-second spike every few
// hours), so the figure is the control's own reading, reduction and drawing.
// Usage: trend_month_bench [RUNS]  (prints the best and median milliseconds of processor time)
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/com/ole.h"
#include "platform/com/registry.h"
#include "platform/trend/trend_control.h"

namespace {

using namespace quillet;

constexpr std::uint32_t start = 1700000000;
constexpr std::int32_t month = 30 * 86400;
constexpr int channels = 4;

// A daily wave per channel from a table, a little noise, and a spike every 10007 seconds;
// one day of each channel's values is worked out once, so the archive costs little per record.
float value_at(std::uint32_t t, int channel) {
  static const std::vector<float> table = [] {
    std::vector<float> w(channels * 86400);
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < 86400; ++i)
        w[c * 86400 + i] = static_cast<float>(50 + 30 * std::sin((i + c * 7200) * (2 * M_PI / 86400)) + i % 7 - 3);
    return w;
  }();
  return t % 10007 == 0 ? 98.0f : table[channel * 86400 + t % 86400];
}

// One record per channel per second from the window start, in time then channel order.
class month_archive final : public INvRegArchive {
public:
  com::HRESULT QueryInterface(const com::IID&, void** out) override { *out = nullptr; return com::E_NOINTERFACE; }
  com::ULONG AddRef() override { return 2; }
  com::ULONG Release() override { return 2; }
  com::HRESULT time_range(arc_record*, arc_record*, std::int32_t*) override { return com::E_NOTIMPL; }
  com::HRESULT channel_list(std::int32_t, std::int32_t, std::int32_t*, std::int16_t*, std::int32_t*) override {
    return com::E_NOTIMPL;
  }
  com::HRESULT read_records(const arc_record* from, arc_record* next, std::int32_t, const arc_channel_set*,
                            const arc_selector*, std::int32_t max, std::int32_t* count, arc_record* records,
                            std::int32_t* status) override {
    std::uint32_t t = from->time;
    int c = std::clamp<int>(from->channel, 0, channels);
    const std::uint32_t end = next->time;
    std::int32_t n = 0;
    for (; n < max && t < end; ++n) {
      records[n].time = t;
      records[n].millis = 0;
      records[n].channel = static_cast<std::int16_t>(c);
      records[n].set_value(value_at(t, c));
      if (++c == channels) {
        c = 0;
        ++t;
      }
    }
    next->time = t;
    next->millis = 0;
    next->channel = static_cast<std::int16_t>(c);
    *count = n;
    *status = 0;
    return com::S_OK;
  }
  com::HRESULT read_values(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const std::int16_t*,
                           const arc_selector*, std::int32_t, arc_record*, std::int32_t*) override {
    return com::E_NOTIMPL;
  }
  com::HRESULT query_pair(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
  com::HRESULT query_word(std::int32_t*) override { return com::E_NOTIMPL; }
};

// Processor time of this thread, so that other work on a shared machine does not count.
double cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  trend::register_trend_control();
  trend::ITrendDisplay* display = nullptr;
  if (com::CoCreateInstance(trend::CLSID_trend_control, trend::IID_trend_display, reinterpret_cast<void**>(&display)) !=
      com::S_OK)
    return 1;
  auto* control = static_cast<trend::trend_control*>(display);
  month_archive archive;
  trend::trend_settings settings = trend::default_trend_settings();
  settings.dt = month;
  std::vector<trend::trend_curve> curves(channels);
  const std::uint32_t colours[channels] = {0x0000C0, 0xC05000, 0x008000, 0x800080};
  for (int c = 0; c < channels; ++c) {
    curves[c].channel = static_cast<std::uint32_t>(c);
    curves[c].max_value = 100;
    curves[c].flags = trend::curve_flag_base;
    curves[c].color = colours[c];
  }
  control->attach_archive(&archive);
  control->set_settings(&settings);
  control->set_curves(channels, curves.data());
  gdi::drawing_surface surface(800, 600);
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    control->set_time(start, 0);
    const double t0 = cpu_ms();
    com::OleDraw(static_cast<com::IOleObject*>(control), com::DVASPECT_CONTENT, surface, {0, 0, 800, 600});
    surface.flush();
    ms.push_back(cpu_ms() - t0);
  }
  control->Release();
  std::sort(ms.begin(), ms.end());
  std::printf("month of 1-s records, 4 curves, 800x600: best %.1f ms, median %.1f ms of processor time over %d pictures\n", ms.front(),
              ms[ms.size() / 2], runs);
  return 0;
}
