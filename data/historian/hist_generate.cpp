// History generators. The demo plant is a function of time alone: loads follow the local
// time of day, noise comes from a hash of channel and time, and the incidents sit at fixed
// fractions of the interval, so any run over the same interval writes the same rows.
#include "data/historian/hist_generate.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>

#include "data/kov_sim_data_node.h"

namespace quillet {

namespace {

constexpr double pi = 3.14159265358979323846;

// Noise in [-1, 1] from a hash of the channel and the second.
double noise(const hist_key& key, std::int64_t t) {
  std::uint64_t x = static_cast<std::uint64_t>(t) * 0x9E3779B97F4A7C15ull ^ (static_cast<std::uint64_t>(key.node) << 40) ^
                    (static_cast<std::uint64_t>(key.channel) << 20);
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  return static_cast<double>(x >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

// The plant at one second: the local hour of the day and the incidents in force.
struct plant_state {
  double hour = 0.0;     // local time of day in hours
  double load = 0.0;     // heat demand, 0.2 to 1
  double trip = 0.0;     // minutes since the boiler trip began while it lasts, else -1
  double recover = 0.0;  // 1 right after the trip, fading to 0 within an hour
  bool gap = false;      // the pump station's link is down
};

struct incidents {
  std::int64_t trip_start, trip_end, gap_start, gap_end;
};

plant_state state_at(std::int64_t t, const incidents& inc) {
  plant_state s;
  std::time_t tt = static_cast<std::time_t>(t);
  std::tm local{};
  localtime_r(&tt, &local);
  s.hour = local.tm_hour + local.tm_min / 60.0 + local.tm_sec / 3600.0;
  s.load = std::clamp(0.55 + 0.25 * std::cos(2 * pi * (s.hour - 7.5) / 24) + 0.12 * std::cos(4 * pi * (s.hour - 19) / 24),
                      0.2, 1.0);
  s.trip = t >= inc.trip_start && t < inc.trip_end ? (t - inc.trip_start) / 60.0 : -1.0;
  s.recover = t >= inc.trip_end && t < inc.trip_end + 3600 ? 1.0 - (t - inc.trip_end) / 3600.0 : 0.0;
  s.gap = t >= inc.gap_start && t < inc.gap_end;
  return s;
}

bool pump_a(const plant_state& s) { return s.hour >= 5.0 && s.hour < 23.0; }
bool pump_b(const plant_state& s) { return s.load > 0.72; }

// Supply temperature of a boiler: 70 to 82 degC with the load; a trip lets it fall towards
// the return temperature and the restart brings it back.
double boiler_supply(const plant_state& s) {
  const double normal = 70.0 + 12.0 * s.load;
  if (s.trip >= 0)
    return normal - 26.0 * (1.0 - std::exp(-s.trip / 15.0));
  return normal - 26.0 * (1.0 - std::exp(-45.0 / 15.0)) * s.recover * s.recover;
}

double boiler_return(const plant_state& s) { return boiler_supply(s) - (14.0 + 9.0 * s.load) + 0.0; }

// The value of a demo channel, by node and channel name; unknown channels follow the load.
double demo_value(const hist_channels::entry& e, std::int64_t t, const plant_state& s) {
  const std::string& n = e.name;
  const double r = noise(e.key, t);
  const bool house = e.node_name == "BOILER_HOUSE";
  if (n == "T_SUPPLY" || n == "BOILER1.T_SUPPLY")
    return boiler_supply(s) - (e.node_name == "PUMPSTATION" ? 3.0 : 0.0) + 0.4 * r;
  if (n == "T_RETURN" || n == "BOILER1.T_RETURN")
    return boiler_return(s) + 0.4 * r;
  if (n == "BOILER2.T_SUPPLY")
    return 68.0 + 11.0 * s.load + 0.4 * r;
  if (n == "BOILER2.T_RETURN")
    return 68.0 + 11.0 * s.load - (13.0 + 8.0 * s.load) + 0.4 * r;
  if (n == "PUMP1_ON" || n == "PUMP_A_ON" || n == "PUMP1.RUN")
    return pump_a(s) || house ? 1.0 : 0.0;
  if (n == "PUMP2_ON" || n == "PUMP_B_ON" || n == "PUMP2.RUN")
    return pump_b(s) ? 1.0 : 0.0;
  if (n == "BURNER_ON")
    return s.trip >= 0 ? 0.0 : 1.0;
  if (n == "P_DRUM")
    return (s.trip >= 0 ? 8.5 - 5.0 * (1.0 - std::exp(-s.trip / 8.0)) : 8.5 + 1.5 * s.load - 3.0 * s.recover) + 0.05 * r;
  if (n == "LEVEL")
    return 4.2 - 1.3 * s.load + 0.02 * r;
  if (n == "FLOW")
    return (pump_a(s) ? 118.0 : 0.0) + (pump_b(s) ? 104.0 : 0.0) + (pump_a(s) || pump_b(s) ? 2.5 * r : 0.0);
  if (n == "P_OUT")
    return 1.2 + 0.012 * ((pump_a(s) ? 118.0 : 0.0) + (pump_b(s) ? 104.0 : 0.0)) + 0.03 * r;
  if (n == "PUMP1.FLOW")
    return 85.0 + 10.0 * s.load + 1.5 * r;
  if (n == "PUMP2.FLOW")
    return pump_b(s) ? 70.0 + 12.0 * s.load + 1.5 * r : 0.0;
  if (n == "VOLTAGE")
    return 20.4 + 0.15 * r;
  if (n == "CURRENT")
    return 140.0 + 260.0 * s.load + 4.0 * r;
  if (n == "POWER")
    return std::sqrt(3.0) * 20.4 * (140.0 + 260.0 * s.load) * 0.95 / 1000.0 + 0.05 * r;
  if (n == "BREAKER_CLOSED")
    return 1.0;
  if (e.kind & 1)
    return s.load > 0.6 ? 1.0 : 0.0;
  return 50.0 + 20.0 * s.load + 0.5 * r;
}

// "PUMP_A_ON", "PUMP1.RUN" -> "Pump A", "Pump 1".
std::string machine_name(std::string name) {
  for (const char* suffix : {"_ON", ".RUN"})
    if (name.size() > std::string(suffix).size() && name.ends_with(suffix))
      name.resize(name.size() - std::string(suffix).size());
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '_' || c == '.') {
      out += ' ';
      continue;
    }
    if (i > 0 && std::isdigit(static_cast<unsigned char>(c)) && std::isalpha(static_cast<unsigned char>(name[i - 1])))
      out += ' ';
    out += i == 0 || out.back() == ' ' ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

struct demo_event {
  const char* node;
  const char* channel;
  std::int64_t offset;  // seconds from the incident
  char type;
  const char* text;
};

const demo_event trip_events[] = {
    {"BOILERS", "BURNER_ON", 0, 'A', "Boiler 1 flame failure: burner locked out"},
    {"BOILERS", "BURNER_ON", 2, 'E', "Boiler 1 fuel valve closed by safety chain"},
    {"BOILERS", "P_DRUM", 190, 'A', "Drum pressure low (PT-110 below 6 bar)"},
    {"BOILERS", "T_SUPPLY", 540, 'W', "Supply water temperature below 65 degC"},
    {"BOILER_HOUSE", "BOILER1.T_SUPPLY", 560, 'W', "Boiler 1 supply temperature low"},
    {"BOILERS", "T_SUPPLY", 1320, 'A', "Supply water temperature below 55 degC"},
    {"BOILERS", "BURNER_ON", 2400, 'I', "Boiler 1 burner reset by operator"},
    {"BOILERS", "BURNER_ON", 2700, 'I', "Boiler 1 burner restarted, flame detected"},
    {"BOILERS", "P_DRUM", 3300, 'I', "Drum pressure back to normal"},
};

const demo_event gap_events[] = {
    {"PUMPSTATION", "LEVEL", 0, 'E', "Communication lost with pump-pc"},
    {"PUMPSTATION", "LEVEL", -1, 'I', "Communication with pump-pc restored"},
};

bool put_event(const hist_channels& channels, const demo_event& d, std::int64_t at, hist_writer& writer) {
  hist_key key;
  if (!channels.find(std::string(d.node) + ":" + d.channel, key))
    return true;
  hist_event e;
  e.node = key.node;
  e.channel = key.channel;
  e.t = at * 1000;
  e.code = static_cast<unsigned char>(d.type);
  e.severity = d.type == 'A' ? 800 : d.type == 'E' ? 230 : d.type == 'W' ? 220 : d.type == 'M' ? 210 : 200;
  e.text = d.text;
  return writer.add(e);
}

bool incident_events(const hist_channels& channels, const incidents& inc, std::int64_t from, std::int64_t to,
                     hist_writer& writer) {
  for (const demo_event& d : trip_events) {
    const std::int64_t at = inc.trip_start + d.offset;
    if (at >= from && at < to && !put_event(channels, d, at, writer))
      return false;
  }
  for (const demo_event& d : gap_events) {
    const std::int64_t at = d.offset < 0 ? inc.gap_end : inc.gap_start;
    if (at >= from && at < to && !put_event(channels, d, at, writer))
      return false;
  }
  return true;
}

// A start or stop of a discrete machine channel becomes a message event.
bool switch_event(const hist_channels::entry& e, std::int64_t t, bool on, hist_writer& writer) {
  if (!(e.kind & 1) || e.name == "BURNER_ON" || e.name == "BREAKER_CLOSED")
    return true;
  hist_event ev;
  ev.node = e.key.node;
  ev.channel = e.key.channel;
  ev.t = t * 1000;
  ev.code = 'M';
  ev.severity = 210;
  ev.text = machine_name(e.name) + (on ? " started" : " stopped");
  return writer.add(ev);
}

}  // namespace

bool hist_generate_simulated(const hist_channels& channels, std::int64_t from, std::int64_t to, std::uint32_t step,
                             hist_writer& writer) {
  for (std::int64_t t = (from + 999) / 1000; t * 1000 < to; t += step)
    for (const hist_channels::entry& e : channels.all()) {
      kov_chan_ident ident;
      ident.channel = static_cast<std::int16_t>(e.key.channel);
      if (!writer.add(e.key, hist_sample{t * 1000, kov_sim_value(ident, static_cast<std::uint32_t>(t)), true}))
        return false;
    }
  return true;
}

// The trip starts 60 % into the interval and lasts 45 minutes; the pump station's link is
// down for two hours from 80 % on, which leaves a bad sample at the start of the gap.
bool hist_generate_demo_plant(const hist_channels& channels, std::int64_t from, std::int64_t to, std::uint32_t step,
                              hist_writer& writer) {
  const std::int64_t begin = (from + 999) / 1000, end = (to + 999) / 1000, span = end - begin;
  incidents inc;
  inc.trip_start = begin + span * 6 / 10 / 60 * 60 + 17;
  inc.trip_end = inc.trip_start + 45 * 60;
  inc.gap_start = begin + span * 8 / 10 / 60 * 60;
  inc.gap_end = inc.gap_start + 2 * 3600;
  std::vector<int> last(channels.all().size(), -1);
  for (std::int64_t t = begin; t < end; t += step) {
    const plant_state s = state_at(t, inc);
    for (std::size_t i = 0; i < channels.all().size(); ++i) {
      const hist_channels::entry& e = channels.all()[i];
      const bool station = e.node_name == "PUMPSTATION";
      if (station && s.gap && t - step >= inc.gap_start)
        continue;
      const double v = demo_value(e, t, s);
      const bool good = !(station && s.gap);
      if (!writer.add(e.key, hist_sample{t * 1000, good ? v : 0.0, good}))
        return false;
      const int on = v != 0.0;
      if (good && (e.kind & 1) && last[i] >= 0 && on != last[i] && !switch_event(e, t, on, writer))
        return false;
      if (good)
        last[i] = on;
    }
  }
  return incident_events(channels, inc, begin, end, writer);
}

}  // namespace quillet
