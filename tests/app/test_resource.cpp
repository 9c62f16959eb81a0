// The compiled resource script, read back from the .res that the 32-bit
// resource compiler made of it: every value of the version record and icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/identity.h"
#include "tests/app/bytes.h"

namespace {

using namespace norvane::test;
std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// A resource type or name: a number, or a UTF-16 string (kept as ASCII here).
struct Id {
  std::optional<std::uint32_t> number;
  std::string text;
};

Id ReadId(const Bytes& b, std::size_t& at) {
  Id id;
  if (U16(b, at) == 0xFFFF) {
    id.number = U16(b, at + 2);
    at += 4;
    return id;
  }
  for (; U16(b, at) != 0; at += 2) id.text += static_cast<char>(U16(b, at));
  at += 2;
  return id;
}

std::string ReadText(const Bytes& b, std::size_t& at) {
  std::string text;
  for (; U16(b, at) != 0; at += 2) text += static_cast<char>(U16(b, at));
  at += 2;
  return text;
}

struct Resource {
  Id type, name;
  std::uint32_t language;
  Bytes data;
};

// The 32-bit .res format: an empty first entry, then header and data of each
// resource, each padded to a double word.
std::vector<Resource> ReadRes(const Bytes& b) {
  std::vector<Resource> resources;
  std::size_t at = 0;
  while (at + 8 <= b.size()) {
    const std::size_t dataSize = U32(b, at), headerSize = U32(b, at + 4);
    std::size_t field = at + 8;
    Resource r;
    r.type = ReadId(b, field);
    r.name = ReadId(b, field);
    field = Align4(field);
    r.language = U16(b, field + 6);
    const std::size_t data = at + headerSize;
    r.data = Bytes(b.begin() + static_cast<std::ptrdiff_t>(data),
                   b.begin() + static_cast<std::ptrdiff_t>(data + dataSize));
    if (!(dataSize == 0 && r.type.number == 0u)) resources.push_back(std::move(r));
    at = Align4(data + dataSize);
  }
  return resources;
}

// One node of a version record: length, value length, type, key, value, children.
struct Node {
  std::string key;
  std::uint32_t type = 0;
  std::uint32_t valueLength = 0;
  Bytes value;
  std::vector<Node> children;
};

Node ReadNode(const Bytes& b, std::size_t at) {
  Node node;
  const std::size_t end = at + U16(b, at);
  node.valueLength = U16(b, at + 2);
  node.type = U16(b, at + 4);
  std::size_t field = at + 6;
  node.key = ReadText(b, field);
  field = Align4(field);
  // Text values count their length in characters, binary ones in bytes.
  const std::size_t valueBytes = node.type == 1 ? 2 * node.valueLength : node.valueLength;
  node.value = Bytes(b.begin() + static_cast<std::ptrdiff_t>(field),
                     b.begin() + static_cast<std::ptrdiff_t>(field + valueBytes));
  for (field = Align4(field + valueBytes); field < end;) {
    node.children.push_back(ReadNode(b, field));
    field = Align4(field + U16(b, field));
  }
  return node;
}

std::string TextValue(const Node& node) {
  std::size_t at = 0;
  return ReadText(node.value, at);
}

class CompiledResources : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = ReadRes(ReadFile(NORVANE_RES_PATH));
    ASSERT_FALSE(resources.empty()) << "no resources in " NORVANE_RES_PATH;
  }
  const Resource* Find(std::uint32_t type, std::uint32_t name) const {
    for (const Resource& r : resources) {
      if (r.type.number == type && r.name.number == name) return &r;
    }
    return nullptr;
  }
  std::vector<Resource> resources;
};

constexpr std::uint32_t kIcon = 3, kGroupIcon = 14, kVersion = 16;

TEST_F(CompiledResources, HoldsExactlyTheVersionRecordAndOneIcon) {
  ASSERT_EQ(resources.size(), 3u);
  ASSERT_NE(Find(kVersion, 1), nullptr);
  ASSERT_NE(Find(kGroupIcon, 1), nullptr);
  ASSERT_NE(Find(kIcon, 30001), nullptr);
  EXPECT_EQ(Find(kVersion, 1)->language, 1033u);
  EXPECT_EQ(Find(kGroupIcon, 1)->language, 0u);  // language neutral
  EXPECT_EQ(Find(kIcon, 30001)->language, 0u);
}

TEST_F(CompiledResources, IconGroupOneHoldsImage30001) {
  const Resource* group = Find(kGroupIcon, 1);
  const Resource* image = Find(kIcon, 30001);
  ASSERT_TRUE(group && image);
  const Bytes& g = group->data;
  ASSERT_EQ(g.size(), 20u);
  EXPECT_EQ(U16(g, 0), 0u);
  EXPECT_EQ(U16(g, 2), 1u);
  EXPECT_EQ(U16(g, 4), 1u);
  EXPECT_EQ(g[6], 32);
  EXPECT_EQ(g[7], 32);
  EXPECT_EQ(g[8], 16);
  EXPECT_EQ(U16(g, 10), 1u);  // planes
  EXPECT_EQ(U16(g, 12), 4u);  // bits per pixel
  EXPECT_EQ(U32(g, 14), 744u);
  EXPECT_EQ(U16(g, 18), 30001u);

  const Bytes& i = image->data;
  ASSERT_EQ(i.size(), 744u);
  EXPECT_EQ(U32(i, 0), 40u);
  EXPECT_EQ(U32(i, 4), 32u);
  EXPECT_EQ(U32(i, 8), 64u);
  EXPECT_EQ(U16(i, 12), 1u);
  EXPECT_EQ(U16(i, 14), 4u);
  const Bytes ico = ReadFile(NORVANE_ICON_DIR "/Norvane.ico");
  ASSERT_EQ(ico.size(), 22u + 744u);
  EXPECT_EQ(i, Bytes(ico.begin() + 22, ico.end())) << "the same image as Norvane.ico";
}

TEST_F(CompiledResources, VersionRecordFixedPart) {
  const Resource* version = Find(kVersion, 1);
  ASSERT_NE(version, nullptr);
  const Node root = ReadNode(version->data, 0);
  EXPECT_EQ(root.key, "VS_VERSION_INFO");
  EXPECT_EQ(root.type, 0u);
  ASSERT_EQ(root.value.size(), 52u);
  const Bytes& f = root.value;
  EXPECT_EQ(U32(f, 0), 0xFEEF04BDu);
  EXPECT_EQ(U32(f, 4), 0x00010000u);
  EXPECT_EQ(U32(f, 8), 0x00010000u);   // file version 1.0 ...
  EXPECT_EQ(U32(f, 12), 0x00000002u);  // ... .0.2
  EXPECT_EQ(U32(f, 16), 0x00010000u);  // product version likewise
  EXPECT_EQ(U32(f, 20), 0x00000002u);
  EXPECT_EQ(U32(f, 24), 0u);  // flags mask
  EXPECT_EQ(U32(f, 28), 0u);  // flags
  EXPECT_EQ(U32(f, 32), 4u);  // 32-bit Windows
  EXPECT_EQ(U32(f, 36), 1u);  // application
  EXPECT_EQ(U32(f, 40), 0u);  // subtype
  EXPECT_EQ(U32(f, 44), 0u);  // date
  EXPECT_EQ(U32(f, 48), 0u);
  // The numbers agree with the application object's.
  EXPECT_EQ(U32(f, 8), std::uint32_t{norvane::kIdentity.Major} << 16 | norvane::kIdentity.Minor);
  EXPECT_EQ(U32(f, 12), std::uint32_t{norvane::kIdentity.Revision});
}

TEST_F(CompiledResources, VarFileInfoComesFirstWithOneTranslation) {
  const Resource* version = Find(kVersion, 1);
  ASSERT_NE(version, nullptr);
  const Node root = ReadNode(version->data, 0);
  ASSERT_EQ(root.children.size(), 2u);
  const Node& var = root.children[0];
  EXPECT_EQ(var.key, "VarFileInfo");
  ASSERT_EQ(var.children.size(), 1u);
  EXPECT_EQ(var.children[0].key, "Translation");
  ASSERT_EQ(var.children[0].value.size(), 4u);
  EXPECT_EQ(U16(var.children[0].value, 0), 0x0409u);
  EXPECT_EQ(U16(var.children[0].value, 2), 1200u);
  EXPECT_EQ(root.children[1].key, "StringFileInfo");
}

TEST_F(CompiledResources, StringTableHoldsExactlyTheSixStringsInOrder) {
  const Resource* version = Find(kVersion, 1);
  ASSERT_NE(version, nullptr);
  const Node root = ReadNode(version->data, 0);
  ASSERT_EQ(root.children.size(), 2u);
  const Node& strings = root.children[1];
  ASSERT_EQ(strings.children.size(), 1u);
  const Node& table = strings.children[0];
  EXPECT_EQ(table.key, "040904B0");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"CompanyName", "Pimbrel's Computers"},
      {"ProductName", "Pimbrel's Norvane"},
      {"FileVersion", "1.00.0002"},
      {"ProductVersion", "1.00.0002"},
      {"InternalName", "Norvane"},
      {"OriginalFilename", "Norvane.exe"},
  };
  ASSERT_EQ(table.children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Node& entry = table.children[i];
    EXPECT_EQ(entry.key, expected[i].first);
    EXPECT_EQ(entry.type, 1u) << entry.key;
    EXPECT_EQ(TextValue(entry), expected[i].second) << entry.key;
  }
  // The same texts as the identity the program reports.
  EXPECT_EQ(TextValue(table.children[0]), norvane::kIdentity.CompanyName);
  EXPECT_EQ(TextValue(table.children[1]), norvane::kIdentity.Title);
  EXPECT_EQ(TextValue(table.children[4]), norvane::kIdentity.ExeName);
}

}  // namespace
