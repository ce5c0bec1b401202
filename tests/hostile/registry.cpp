#include "hostile/registry.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <vector>

namespace novu::hostile {
namespace {

std::map<std::string, std::vector<Row>>& tables() {
  static std::map<std::string, std::vector<Row>> all;
  return all;
}

void run(const char* table) {
  ASSERT_FALSE(tables()[table].empty());
  for (const Row& row : tables()[table]) {
    SCOPED_TRACE(row.operation);
    const MemUse before = mem_in_use();
    row.check();
    EXPECT_TRUE(mem_in_use() == before) << row.operation << " leaked";
  }
}

TEST(Hostile, Image) { run("image"); }
TEST(Hostile, Sound) { run("sound"); }
TEST(Hostile, Text) { run("text"); }
TEST(Hostile, Effects) { run("effects"); }
TEST(Hostile, Platform) { run("platform"); }

// The function a header line declares ("Image* img_create() noexcept;"): the name before the
// first parenthesis, after a return type that starts the line.
std::string declared(const std::string& line) {
  const std::size_t paren = line.find('('), start = line.find_last_of(" *", paren) + 1;
  const bool typed = paren != std::string::npos && start > 0 && std::isalpha(static_cast<unsigned char>(line[0])) &&
                     line.find('=') > paren && line.rfind("return", 0) != 0;
  return typed ? line.substr(start, paren - start) : "";
}

// Every function the public headers declare under a module prefix, read from the sources as they
// are now: a new operation without a row fails the test.
TEST(Hostile, EveryPublicOperationHasARow) {
  const std::set<std::string> prefixes{"img", "array", "sample", "music", "audio", "font", "cursor", "scroller",
                                       "vec2d", "cursorx", "stars", "radars", "distx", "disty", "splix3d",
                                       "sinedots", "stars3d", "vec3d", "gas2d", "sdldpy", "fps"};
  std::set<std::string> operations, rows;
  for (const char* module : {"image", "sound", "text", "effects", "platform"}) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(NOVU_SOURCE_DIR "/src/") + module)) {
      const std::string file = entry.path().filename().string();
      if (entry.path().extension() != ".hpp" || file == "system.hpp" || file == "headless.hpp") continue;
      std::ifstream in(entry.path());
      for (std::string line, name; std::getline(in, line);)
        if (name = declared(line); prefixes.count(name.substr(0, name.find('_'))) != 0) operations.insert(name);
    }
  }
  ASSERT_GT(operations.size(), 150u);
  for (const auto& [table, entries] : tables())
    for (const Row& row : entries) EXPECT_TRUE(rows.insert(row.operation).second) << "two rows: " << row.operation;
  std::string without_row, not_an_operation;
  for (const std::string& name : operations) without_row += rows.count(name) != 0 ? "" : " " + name;
  for (const std::string& name : rows) not_an_operation += operations.count(name) != 0 ? "" : " " + name;
  EXPECT_EQ(without_row, "") << "public operations without a row";
  EXPECT_EQ(not_an_operation, "") << "rows naming no public operation";
}

}  // namespace

Rows::Rows(const char* table, std::initializer_list<Row> rows) {
  tables()[table].insert(tables()[table].end(), rows);
}

}  // namespace novu::hostile
