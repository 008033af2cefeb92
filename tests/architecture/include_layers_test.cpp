// Keeps the folders of src/ in the order docs/architecture.md gives them:
// every `#include "folder/..."` must be allowed by the folder's row of the
// layer table there, and the folders must not include each other in a
// circle. The table is the only list of rules; this test reads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
  std::set<std::string> mayInclude;        // any file of the folder
  std::set<std::string> windowMayInclude;  // its window files too
};

using LayerTable = std::map<std::string, LayerRule>;

std::set<std::string> FoldersIn(const std::string& cell) {
  std::set<std::string> folders;
  static const std::regex folder("`([a-z_]+)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), folder), end; it != end; ++it) {
    folders.insert((*it)[1]);
  }
  return folders;
}

// Rows of the form "| `folder` | `a`, `b` | `ui` |" after the heading
// "## Layers of src/".
LayerTable ReadLayerTable(const fs::path& markdown) {
  std::ifstream in(markdown);
  LayerTable table;
  static const std::regex row(R"(^\|\s*`([a-z_]+)`\s*\|([^|]*)\|([^|]*)\|\s*$)");
  bool inSection = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("## ")) {
      inSection = line == "## Layers of src/";
    }
    std::smatch match;
    if (inSection && std::regex_match(line, match, row)) {
      table[match[1]] = {FoldersIn(match[2]), FoldersIn(match[3])};
    }
  }
  return table;
}

struct Include {
  fs::path file;
  int line = 0;
  std::string from;
  std::string to;
};

std::vector<Include> FolderIncludes(const fs::path& srcRoot) {
  std::vector<Include> includes;
  static const std::regex directive(R"(^\s*#\s*include\s*"([a-z_]+)/)");
  for (const auto& entry : fs::recursive_directory_iterator(srcRoot)) {
    const fs::path& path = entry.path();
    if (!entry.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h")) {
      continue;
    }
    const std::string from = fs::relative(path, srcRoot).begin()->string();
    std::ifstream in(path);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      std::smatch match;
      if (std::regex_search(line, match, directive) && match[1] != from) {
        includes.push_back({path, number, from, match[1]});
      }
    }
  }
  return includes;
}

std::set<fs::path> ReadPathList(const fs::path& file) {
  std::set<fs::path> paths;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) {
      paths.insert(fs::weakly_canonical(line));
    }
  }
  return paths;
}

// One message per include that the table does not allow.
std::vector<std::string> IncludesAgainstTable(const std::vector<Include>& includes,
                                              const LayerTable& table,
                                              const std::set<fs::path>& windowFiles) {
  std::vector<std::string> faults;
  for (const Include& include : includes) {
    const auto rule = table.find(include.from);
    std::ostringstream where;
    where << include.file.string() << ":" << include.line << ": ";
    if (rule == table.end()) {
      faults.push_back(where.str() + "folder '" + include.from + "' has no row in the layer table");
      continue;
    }
    const bool windowFile = windowFiles.contains(fs::weakly_canonical(include.file));
    if (rule->second.mayInclude.contains(include.to) ||
        (windowFile && rule->second.windowMayInclude.contains(include.to))) {
      continue;
    }
    faults.push_back(where.str() + "'" + include.from + "' may not include '" + include.to + "'" +
                     (windowFile ? "" : " (not a window file)"));
  }
  return faults;
}

// Each circle among the folders, as "a -> b -> a", found by depth-first
// search over the includes that really occur.
std::vector<std::string> FolderCycles(const std::vector<Include>& includes) {
  std::map<std::string, std::set<std::string>> edges;
  for (const Include& include : includes) {
    edges[include.from].insert(include.to);
  }
  std::vector<std::string> cycles;
  std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
  std::vector<std::string> path;
  auto visit = [&](auto&& self, const std::string& folder) -> void {
    state[folder] = 1;
    path.push_back(folder);
    for (const std::string& next : edges[folder]) {
      if (state[next] == 1) {
        std::string text;
        for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it) {
          text += *it + " -> ";
        }
        cycles.push_back(text + next);
      } else if (state[next] == 0) {
        self(self, next);
      }
    }
    path.pop_back();
    state[folder] = 2;
  };
  for (const auto& [folder, targets] : edges) {
    if (state[folder] == 0) {
      visit(visit, folder);
    }
  }
  return cycles;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\n";
  }
  return text;
}

TEST(IncludeLayers, EveryIncludeUnderSrcFollowsTheLayerTable) {
  const fs::path root = ZENTORA_SOURCE_DIR;
  const LayerTable table = ReadLayerTable(root / "docs/architecture.md");
  ASSERT_TRUE(table.contains("base") && table.contains("app"))
      << "no layer table found in docs/architecture.md";
  const auto includes = FolderIncludes(root / "src");
  ASSERT_FALSE(includes.empty());
  const auto faults =
      IncludesAgainstTable(includes, table, ReadPathList(ZENTORA_WINDOW_SOURCES_FILE));
  EXPECT_TRUE(faults.empty()) << Lines(faults);
  const auto cycles = FolderCycles(includes);
  EXPECT_TRUE(cycles.empty()) << Lines(cycles);
}

// The check itself, on a planted tree: an include that runs upward, an
// include of ui from a core file, and a circle must each be reported.
TEST(IncludeLayers, ReportsUpwardIncludesAndCircles) {
  const fs::path root = fs::path(testing::TempDir()) / "layers_tree";
  fs::remove_all(root);
  const auto plant = [&](const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  plant("base/a.h", "#include \"image/b.h\"\n");
  plant("image/b.h", "#include \"base/a.h\"\n#include \"ui/c.h\"\n");
  plant("image/d.cpp", "#include \"ui/c.h\"\n");
  const LayerTable table = {{"base", {}}, {"image", {{"base"}, {"ui"}}}};
  const auto includes = FolderIncludes(root);
  const auto faults =
      IncludesAgainstTable(includes, table, {fs::weakly_canonical(root / "image/d.cpp")});
  ASSERT_EQ(faults.size(), 2u) << Lines(faults);
  EXPECT_NE(Lines(faults).find("base/a.h:1: 'base' may not include 'image'"), std::string::npos);
  EXPECT_NE(Lines(faults).find("image/b.h:2: 'image' may not include 'ui' (not a window file)"),
            std::string::npos);
  EXPECT_EQ(FolderCycles(includes), std::vector<std::string>{"base -> image -> base"});
  fs::remove_all(root);
}

}  // namespace
