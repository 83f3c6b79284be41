// The interfaces of the project component: the main interface that opens a project and
// answers for its nodes, the node interface, and the attribute-table interface. Methods keep
// the numbers by which callers know them (QueryInterface is 0); texts cross as UTF-16.
// Every out parameter is written on success; on failure texts are left empty and numbers -1.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/unknown.h"

namespace quillet {

// A node object of the project as data nodes receive it: ask it for IvxPrjNode.
class kov_project_node : public com::IUnknown {
protected:
  ~kov_project_node() = default;
};

namespace com {

inline const CLSID CLSID_VxProject = guid_of("{90A17769-F7AB-11D2-B01A-006052087379}");
inline const IID IID_IvxProject = guid_of("{54CEC751-F7C0-11D2-B01A-006052087379}");
inline const IID IID_IvxPrjNode = guid_of("{F41C2234-F890-11D2-B01C-006052087379}");
inline const IID IID_IvxAttrTable = guid_of("{002001B0-FC88-11D2-B01F-006052087379}");

// The kind of sub-object that answers for the attribute table.
inline constexpr std::int32_t project_attr_table_kind = 7;

class IvxProject : public IUnknown {
public:
  virtual HRESULT Close() = 0;                                                          // 9
  virtual HRESULT Open(const std::u16string& path) = 0;                                 // 10
  // Lets the user choose a project file; an empty path means cancelled.
  virtual HRESULT Browse(const std::u16string& current, std::u16string* path) = 0;      // 11
  virtual HRESULT GetNodeCount(std::int32_t* count) = 0;                                // 12
  virtual HRESULT GetNodeNumber(const std::u16string& name, std::int32_t* number) = 0;  // 13
  virtual HRESULT GetNodeText(std::int32_t node, std::u16string* text) = 0;             // 14
  virtual HRESULT GetNodeObject(std::int32_t node, IUnknown** object) = 0;              // 16
  virtual HRESULT GetSubObject(std::int32_t kind, IUnknown** object) = 0;               // 18
  virtual HRESULT GetHostName(std::int32_t node, std::u16string* text) = 0;             // 19
  // Why the last Open failed, naming the file and the place; empty after a success.
  virtual HRESULT GetLastError(std::u16string* text) = 0;

protected:
  ~IvxProject() = default;
};

class IvxPrjNode : public kov_project_node {
public:
  virtual HRESULT GetName(std::u16string* text) = 0;                                           // 7
  virtual HRESULT GetObjectName(std::int32_t object, std::u16string* text) = 0;                // 10
  virtual HRESULT GetChannelCount(std::int32_t object, std::int32_t* count) = 0;               // 11
  virtual HRESULT GetChannelAt(std::int32_t object, std::int32_t pos, std::int32_t* channel) = 0;  // 12
  virtual HRESULT GetChannelName(std::int32_t object, std::int32_t channel, std::u16string* text) = 0;  // 13
  // The channel's information word; its low byte is the kind. Fails for no such channel.
  virtual HRESULT GetChannelInfo(std::int32_t object, std::int32_t channel, std::int32_t* info) = 0;  // 14
  virtual HRESULT GetChannelAttrObject(std::int32_t object, std::int32_t channel, std::int32_t reserved,
                                       IUnknown** out) = 0;                                     // 15
  virtual HRESULT GetObjectNumber(const std::u16string& name, std::int32_t* object) = 0;       // 16
  virtual HRESULT GetChannelNumber(const std::u16string& name, std::int32_t object,
                                   std::int32_t* channel) = 0;                                  // 17
  // The channel's code, or its comment when it has no code.
  virtual HRESULT GetChannelCoding(std::int32_t object, std::int32_t channel, std::int32_t attribute,
                                   std::u16string* text) = 0;                                   // 24
  virtual HRESULT GetUnitName(std::int32_t object, std::int32_t channel, std::u16string* text) = 0;  // 25
  // Ours, after the product's methods: the channel's comment, empty when it has none. Trend
  // legends show it beside the code.
  virtual HRESULT GetChannelComment(std::int32_t object, std::int32_t channel, std::u16string* text) = 0;

protected:
  ~IvxPrjNode() = default;
};

class IvxAttrTable : public IUnknown {
public:
  virtual HRESULT GetAttrName(std::int32_t code, std::u16string* text) = 0;          // 9
  virtual HRESULT GetAttrCode(const std::u16string& name, std::int32_t* code) = 0;   // 11

protected:
  ~IvxAttrTable() = default;
};

// Registers the project component under CLSID_VxProject (idempotent).
void register_project_component();

}  // namespace com
}  // namespace quillet
