// The client site of the control printer: a client site that implements nothing and an
// in-place site that allows activation in the printer's window and rectangle.
#include <atomic>

#include "report/ocx_printer.h"

namespace quillet {

using com::E_NOINTERFACE;
using com::E_NOTIMPL;
using com::HRESULT;
using com::S_OK;

// The client-site face answers for IUnknown too; the window and in-place faces are the
// second interface. Every success adds a reference.
HRESULT ocx_printer_site::QueryInterface(const com::IID& iid, void** out) {
  if (!out)
    return com::E_POINTER;
  *out = nullptr;
  if (iid == com::IID_IUnknown || iid == com::IID_IOleClientSite)
    *out = static_cast<com::IOleClientSite*>(this);
  else if (iid == com::IID_IOleWindow || iid == com::IID_IOleInPlaceSite)
    *out = static_cast<com::IOleInPlaceSite*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

com::ULONG ocx_printer_site::AddRef() {
  return std::atomic_ref<com::ULONG>(count_).fetch_add(1) + 1;
}

// The site deletes itself when the last holder lets go.
com::ULONG ocx_printer_site::Release() {
  com::ULONG left = std::atomic_ref<com::ULONG>(count_).fetch_sub(1) - 1;
  if (left == 0)
    delete this;
  return left;
}

HRESULT ocx_printer_site::SaveObject() { return E_NOTIMPL; }
HRESULT ocx_printer_site::GetMoniker(std::uint32_t, std::uint32_t, com::IUnknown**) { return E_NOTIMPL; }
HRESULT ocx_printer_site::GetContainer(com::IUnknown**) { return E_NOTIMPL; }
HRESULT ocx_printer_site::ShowObject() { return E_NOTIMPL; }
HRESULT ocx_printer_site::OnShowWindow(bool) { return E_NOTIMPL; }
HRESULT ocx_printer_site::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT ocx_printer_site::GetWindow(com::HWND* window) {
  if (window)
    *window = owner_->window();
  return S_OK;
}

HRESULT ocx_printer_site::ContextSensitiveHelp(bool) { return E_NOTIMPL; }
HRESULT ocx_printer_site::CanInPlaceActivate() { return S_OK; }
HRESULT ocx_printer_site::OnInPlaceActivate() { return S_OK; }
HRESULT ocx_printer_site::OnUIActivate() { return E_NOTIMPL; }

// The control is placed and clipped to the printer's drawing rectangle; there is no frame
// or document window to offer.
HRESULT ocx_printer_site::GetWindowContext(com::IUnknown** frame, com::IUnknown** document, com::RECT* position,
                                           com::RECT* clip, void** frame_info) {
  if (frame)
    *frame = nullptr;
  if (document)
    *document = nullptr;
  if (frame_info)
    *frame_info = nullptr;
  if (position)
    *position = owner_->rect();
  if (clip)
    *clip = owner_->rect();
  return S_OK;
}

HRESULT ocx_printer_site::Scroll(std::int32_t, std::int32_t) { return E_NOTIMPL; }
HRESULT ocx_printer_site::OnUIDeactivate(bool) { return E_NOTIMPL; }
HRESULT ocx_printer_site::OnInPlaceDeactivate() { return S_OK; }
HRESULT ocx_printer_site::DiscardUndoState() { return E_NOTIMPL; }
HRESULT ocx_printer_site::DeactivateAndUndo() { return E_NOTIMPL; }
HRESULT ocx_printer_site::OnPosRectChange(const com::RECT*) { return E_NOTIMPL; }

}  // namespace quillet
