// Project files: the rules and their placed messages, and the answers of the project
// component's node and attribute interfaces over a loaded file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/com/registry.h"
#include "platform/project/project_file.h"
#include "platform/project/project_interfaces.h"

namespace quillet::com {
namespace {

TEST(ProjectFile, BrokenProjectsNameThePlace) {
  struct row {
    const char* text;
    const char* message;
  };
  const row rows[] = {
      {"[]", "the project: must be a JSON object"},
      {"{}", "the project: \"nodes\" is missing"},
      {"{\"nodes\": 3}", "the project.nodes: must be an array"},
      {"{\"nodes\": [{}]}", "nodes[0]: \"name\" is missing"},
      {"{\"nodes\": [{\"name\": 5}]}", "nodes[0].name: must be a string"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 32767, \"name\": \"X\"}]}]}",
       "nodes[0].channels[0].number: must be 0 to 32766"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": -1, \"name\": \"X\"}]}]}",
       "nodes[0].channels[0].number: must be 0 to 32766"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 1.5, \"name\": \"X\"}]}]}",
       "nodes[0].channels[0].number: must be a whole number"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 3, \"name\": \"X\"}, {\"number\": 3, "
       "\"name\": \"Y\"}]}]}",
       "nodes[0].channels[1].number: channel 3 is listed twice"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 1, \"name\": \"X\", \"kind\": 256}]}]}",
       "nodes[0].channels[0].kind: must be 0 to 255"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 1}]}]}", "nodes[0].channels[0]: \"name\" is missing"},
      {"{\"nodes\": [{\"name\": \"A\", \"objects\": [{\"number\": 0, \"name\": \"O\"}]}]}",
       "nodes[0].objects[0].number: must be 1 to 32767"},
      {"{\"nodes\": [{\"name\": \"A\", \"objects\": [{\"number\": 1, \"name\": \"O\", \"channels\": [4]}]}]}",
       "nodes[0].objects[0].channels[0]: is not a channel number of this node"},
      {"{\"nodes\": [{\"name\": \"A\", \"objects\": [{\"number\": 1, \"name\": \"O\"}, {\"number\": 1, \"name\": "
       "\"P\"}]}]}",
       "nodes[0].objects[1].number: object 1 is listed twice"},
      {"{\"attributes\": [{\"code\": 0, \"name\": \"Z\"}], \"nodes\": []}", "attributes[0].code: must be 1 to 255"},
      {"{\"nodes\": [{\"name\": \"\xFF\"}]}", "line 1, column 22: not valid JSON"},
      {"{\"nodes\": [\n  {\"name\": \"A\",}\n]}", "line 2, column 16: not valid JSON"},
      {"{\"x\": 1e400, \"nodes\": []}", "line 1, column 7: a number too large"},
      {"{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": -1e999}]}]}", "line 1, column 50: a number too large"},
      {"{\"nodes\": [{\"name\": \"A\"}, {\"name\": \"B\"}, {\"name\": \"A\"}]}",
       "nodes[2].name: repeats the name of nodes[0]"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    project_data data;
    std::string message;
    EXPECT_FALSE(parse_project_text(r.text, data, message));
    EXPECT_EQ(message, r.message);
    EXPECT_TRUE(data.nodes.empty());
  }
}

TEST(ProjectFile, SortsChannelsAndLeavesOptionalTextsEmpty) {
  project_data data;
  std::string message;
  ASSERT_TRUE(parse_project_text(
      "{\"nodes\": [{\"name\": \"N\", \"extra\": 1, \"channels\": [{\"number\": 9, \"name\": \"B\"}, "
      "{\"number\": 2, \"name\": \"A\", \"code\": \"C-2\", \"unit\": \"bar\", \"kind\": 3}]}]}",
      data, message))
      << message;
  ASSERT_EQ(data.nodes.size(), 1u);
  const auto& node = data.nodes[0];
  ASSERT_EQ(node.channels.size(), 2u);
  EXPECT_EQ(node.channels[0].number, 2);
  EXPECT_EQ(node.channels[0].kind, 3);
  EXPECT_EQ(node.channels[1].name, u"B");
  EXPECT_TRUE(node.channels[1].code.empty());
  EXPECT_TRUE(node.host.empty());
  EXPECT_EQ(node.find_channel(9), &node.channels[1]);
  EXPECT_EQ(node.find_channel(3), nullptr);
}

TEST(ProjectFile, FileMessagesBeginWithThePath) {
  project_data data;
  std::string message;
  EXPECT_FALSE(load_project_file("/nonexistent/p.json", data, message));
  EXPECT_EQ(message, "/nonexistent/p.json: cannot be read: No such file or directory");
  const std::string path = testing::TempDir() + "broken_project.json";
  std::ofstream(path) << "{\"nodes\": [{}]}";
  EXPECT_FALSE(load_project_file(path, data, message));
  EXPECT_EQ(message, path + ": nodes[0]: \"name\" is missing");
  std::remove(path.c_str());
}

// A component over a small project written to a temporary file.
class ProjectComponent : public testing::Test {
protected:
  void SetUp() override {
    path_ = testing::TempDir() + "component_project.json";
    std::ofstream(path_) << R"({"attributes": [{"code": 1, "name": "HI"}],
      "nodes": [{"name": "N0", "host": "h0", "channels": [
          {"number": 4, "name": "T", "comment": "temp", "unit": "degC"},
          {"number": 1, "name": "P", "code": "P-1", "kind": 1}],
        "objects": [{"number": 3, "name": "OBJ", "channels": [4]}]}]})";
    register_project_component();
    ASSERT_EQ(CoCreateInstance(CLSID_VxProject, IID_IvxProject, com::put_void(project_)), S_OK);
  }
  void TearDown() override { std::remove(path_.c_str()); }

  std::string path_;
  rc_ptr<IvxProject> project_;
};

TEST_F(ProjectComponent, NodeInterfaceAnswersByObject) {
  ASSERT_EQ(project_->Open(std::u16string(path_.begin(), path_.end())), S_OK);
  rc_ptr<IUnknown> object;
  ASSERT_EQ(project_->GetNodeObject(0, object.put()), S_OK);
  rc_ptr<IvxPrjNode> node;
  ASSERT_TRUE(query(object.get(), IID_IvxPrjNode, node));
  project_->Close();  // the node keeps what it needs

  std::int32_t n = -5;
  struct count_row {
    std::int32_t object;
    HRESULT hr;
    std::int32_t count;
  };
  for (const count_row& r : {count_row{0, S_OK, 2}, count_row{3, S_OK, 1}, count_row{2, E_INVALIDARG, -1}}) {
    SCOPED_TRACE(r.object);
    EXPECT_EQ(node->GetChannelCount(r.object, &n), r.hr);
    EXPECT_EQ(n, r.count);
  }
  EXPECT_EQ(node->GetChannelAt(0, 0, &n), S_OK);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(node->GetChannelAt(3, 1, &n), E_INVALIDARG);
  EXPECT_EQ(node->GetChannelNumber(u"P", 3, &n), E_INVALIDARG);  // P is not in object 3
  EXPECT_EQ(node->GetChannelNumber(u"T", 3, &n), S_OK);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(node->GetChannelInfo(0, 1, &n), S_OK);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(node->GetChannelInfo(3, 1, &n), E_INVALIDARG);
  EXPECT_EQ(node->GetChannelInfo(0, 2, &n), E_INVALIDARG);
  std::u16string text;
  EXPECT_EQ(node->GetChannelCoding(0, 4, 0, &text), S_OK);
  EXPECT_EQ(text, u"temp");
  EXPECT_EQ(node->GetObjectName(0, &text), S_OK);
  EXPECT_EQ(text, u"N0");
  EXPECT_EQ(node->GetObjectNumber(u"OBJ", &n), S_OK);
  EXPECT_EQ(n, 3);
}

TEST_F(ProjectComponent, FailedOpenLeavesNoProjectAndSaysWhy) {
  ASSERT_EQ(project_->Open(std::u16string(path_.begin(), path_.end())), S_OK);
  std::ofstream(path_) << "{\"nodes\": [{\"name\": \"A\"},]}";
  EXPECT_EQ(project_->Open(std::u16string(path_.begin(), path_.end())), E_FAIL);
  std::int32_t count = -1;
  EXPECT_EQ(project_->GetNodeCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  std::u16string text;
  project_->GetLastError(&text);
  const std::u16string expected = std::u16string(path_.begin(), path_.end()) + u": line 1, column 26: not valid JSON";
  EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace quillet::com
