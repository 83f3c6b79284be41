// The few object-embedding interfaces a control host needs, in their fixed method order
// (QueryInterface is 0): the control's object, in-place and view interfaces and the client
// site the host gives it. A window is only a size here; nothing is ever shown.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"
#include "platform/gdi/drawing_surface.h"

namespace quillet::com {

inline const IID IID_IOleObject = guid_of("{00000112-0000-0000-C000-000000000046}");
inline const IID IID_IOleClientSite = guid_of("{00000118-0000-0000-C000-000000000046}");
inline const IID IID_IOleWindow = guid_of("{00000114-0000-0000-C000-000000000046}");
inline const IID IID_IOleInPlaceSite = guid_of("{00000119-0000-0000-C000-000000000046}");
inline const IID IID_IOleInPlaceObject = guid_of("{00000113-0000-0000-C000-000000000046}");
inline const IID IID_IViewObject = guid_of("{0000010D-0000-0000-C000-000000000046}");

struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// A hidden host window: its class name, title and client size.
struct ole_window {
  const char* class_name = "";
  const char* title = "";
  int width = 1;
  int height = 1;
};
using HWND = ole_window*;

// The message that triggered a verb; hosts that act on their own pass a zeroed one.
struct MSG {
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

inline constexpr std::int32_t OLEIVERB_INPLACEACTIVATE = -5;
inline constexpr std::uint32_t DVASPECT_CONTENT = 1;

class IOleClientSite : public IUnknown {
public:
  virtual HRESULT SaveObject() = 0;
  virtual HRESULT GetMoniker(std::uint32_t assign, std::uint32_t which, IUnknown** moniker) = 0;
  virtual HRESULT GetContainer(IUnknown** container) = 0;
  virtual HRESULT ShowObject() = 0;
  virtual HRESULT OnShowWindow(bool show) = 0;
  virtual HRESULT RequestNewObjectLayout() = 0;

protected:
  ~IOleClientSite() = default;
};

class IOleWindow : public IUnknown {
public:
  virtual HRESULT GetWindow(HWND* window) = 0;
  virtual HRESULT ContextSensitiveHelp(bool enter) = 0;

protected:
  ~IOleWindow() = default;
};

class IOleInPlaceSite : public IOleWindow {
public:
  virtual HRESULT CanInPlaceActivate() = 0;
  virtual HRESULT OnInPlaceActivate() = 0;
  virtual HRESULT OnUIActivate() = 0;
  // The position and clip rectangles of the control; `frame`, `document` and `frame_info`
  // receive null when the host has none.
  virtual HRESULT GetWindowContext(IUnknown** frame, IUnknown** document, RECT* position, RECT* clip,
                                   void** frame_info) = 0;
  virtual HRESULT Scroll(std::int32_t dx, std::int32_t dy) = 0;
  virtual HRESULT OnUIDeactivate(bool undoable) = 0;
  virtual HRESULT OnInPlaceDeactivate() = 0;
  virtual HRESULT DiscardUndoState() = 0;
  virtual HRESULT DeactivateAndUndo() = 0;
  virtual HRESULT OnPosRectChange(const RECT* position) = 0;

protected:
  ~IOleInPlaceSite() = default;
};

class IOleObject : public IUnknown {
public:
  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
  virtual HRESULT Close(std::uint32_t save_option) = 0;
  // Runs a verb; in-place activation asks the site for its window and rectangles.
  virtual HRESULT DoVerb(std::int32_t verb, const MSG* message, IOleClientSite* site, std::int32_t index,
                         HWND parent, const RECT* position) = 0;

protected:
  ~IOleObject() = default;
};

class IOleInPlaceObject : public IOleWindow {
public:
  virtual HRESULT InPlaceDeactivate() = 0;
  virtual HRESULT UIDeactivate() = 0;
  virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;
  virtual HRESULT ReactivateAndUndo() = 0;

protected:
  ~IOleInPlaceObject() = default;
};

// Drawing of an object's picture into a surface over a rectangle.
class IViewObject : public IUnknown {
public:
  virtual HRESULT Draw(std::uint32_t aspect, gdi::drawing_surface& surface, const RECT& bounds) = 0;

protected:
  ~IViewObject() = default;
};

// Asks the object for its view and draws it; E_NOINTERFACE when it cannot draw itself.
inline HRESULT OleDraw(IUnknown* object, std::uint32_t aspect, gdi::drawing_surface& surface, const RECT& bounds) {
  rc_ptr<IViewObject> view;
  if (!query(object, IID_IViewObject, view))
    return E_NOINTERFACE;
  return view->Draw(aspect, surface, bounds);
}

}  // namespace quillet::com
