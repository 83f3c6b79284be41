// The trend control object: one COM-style counted object that answers the object-embedding
// interfaces and the trend display and data interfaces. It owns its settings and curves, holds
// counted references to the client site, archive and browser given to it, and keeps the history
// it read for the current window until the window, the curves or the archive change.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/com/ole.h"
#include "platform/trend/trend_draw.h"
#include "platform/trend/trend_history.h"
#include "platform/trend/trend_interfaces.h"
#include "platform/trend/trend_picture.h"

namespace quillet::trend {

// The most curves one control keeps; records past this count are ignored.
inline constexpr std::int32_t max_trend_curves = 256;

// The settings a new control starts with: a one-minute window, grey dotted grid on white,
// automatic marks, digits and time units, 9-point DejaVu Sans.
trend_settings default_trend_settings();

// Number of trend controls alive in this process, so tests can see that the last Release
// destroys the object.
std::int64_t trend_controls_alive();

class trend_control final : public com::IOleObject,
                            public com::IOleInPlaceObject,
                            public com::IViewObject,
                            public ITrendDisplay,
                            public ITrendData,
                            public ITrendLegend,
                            public ITrendSvg {
public:
  trend_control();
  trend_control(const trend_control&) = delete;
  trend_control& operator=(const trend_control&) = delete;

  // IUnknown, shared by every interface.
  com::HRESULT QueryInterface(const com::IID& iid, void** out) override;
  com::ULONG AddRef() override;
  com::ULONG Release() override;

  // IOleObject.
  com::HRESULT SetClientSite(com::IOleClientSite* site) override;
  com::HRESULT GetClientSite(com::IOleClientSite** site) override;
  com::HRESULT Close(std::uint32_t save_option) override;
  com::HRESULT DoVerb(std::int32_t verb, const com::MSG* message, com::IOleClientSite* site, std::int32_t index,
                      com::HWND parent, const com::RECT* position) override;

  // IOleWindow and IOleInPlaceObject.
  com::HRESULT GetWindow(com::HWND* window) override;
  com::HRESULT ContextSensitiveHelp(bool enter) override;
  com::HRESULT InPlaceDeactivate() override;
  com::HRESULT UIDeactivate() override;
  com::HRESULT SetObjectRects(const com::RECT* position, const com::RECT* clip) override;
  com::HRESULT ReactivateAndUndo() override;

  // IViewObject.
  com::HRESULT Draw(std::uint32_t aspect, gdi::drawing_surface& surface, const com::RECT& bounds) override;

  // ITrendDisplay.
  com::HRESULT display_reserved3() override;
  com::HRESULT set_curves(std::int32_t count, const trend_curve* curves) override;
  com::HRESULT get_settings(trend_settings* settings) override;
  com::HRESULT set_settings(const trend_settings* settings) override;
  com::HRESULT display_reserved7() override;
  com::HRESULT display_reserved8() override;
  com::HRESULT display_reserved9() override;

  // ITrendData.
  com::HRESULT data_reserved3() override;
  com::HRESULT data_reserved4() override;
  com::HRESULT data_reserved5() override;
  com::HRESULT data_reserved6() override;
  com::HRESULT data_reserved7() override;
  com::HRESULT attach_archive(INvRegArchive* archive) override;
  // Both interfaces attach the same browser.
  com::HRESULT attach_browser(IvxChBrowser* browser) override;
  com::HRESULT data_reserved10() override;
  com::HRESULT data_reserved11() override;
  com::HRESULT data_reserved12() override;
  com::HRESULT data_reserved13() override;
  com::HRESULT data_reserved14() override;
  com::HRESULT data_reserved15() override;
  com::HRESULT set_mode(std::int32_t mode) override;
  com::HRESULT set_time(std::uint32_t seconds, std::uint16_t millis) override;

  // ITrendLegend.
  com::HRESULT set_legend(std::int32_t count, const trend_legend_entry* entries) override;

  // ITrendSvg.
  com::HRESULT write_svg(std::int32_t width, std::int32_t height, std::ostream& out) override;

  // State seen by tests and the host.
  int width() const { return width_; }
  int height() const { return height_; }
  bool in_place_active() const { return active_; }
  std::int32_t mode() const { return mode_; }
  const std::vector<trend_curve>& curves() const { return curves_; }
  const std::vector<legend_entry>& legend() const { return legend_; }
  const trend_settings& settings() const { return settings_; }

private:
  ~trend_control();
  void take_size(const com::RECT& rect);
  const trend_history& history();
  trend_view view();

  std::atomic<com::ULONG> refs_{1};
  rc_ptr<com::IOleClientSite> site_;
  rc_ptr<INvRegArchive> archive_;
  rc_ptr<IvxChBrowser> browser_;
  com::HWND window_ = nullptr;
  bool active_ = false;
  int width_ = 1;
  int height_ = 1;
  trend_settings settings_;
  std::vector<trend_curve> curves_;
  std::vector<legend_entry> legend_;
  std::vector<legend_entry> legend_shown_;  // legend_ with the read failures of the last history
  std::int32_t mode_ = 0;
  std::uint32_t start_seconds_ = 0;
  std::uint16_t start_millis_ = 0;
  // The history read for the current window and the picture last drawn from it; both are
  // stale after any change to what is read or shown.
  trend_history history_;
  bool history_fresh_ = false;
  trend_picture picture_;
};

}  // namespace quillet::trend
