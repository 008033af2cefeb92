#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"

namespace zentora {

// What a run wrote and what it read, for a build tool to rebuild the
// targets when a prerequisite changes. The first target is the main output.
struct Dependencies {
  std::vector<std::filesystem::path> targets;
  std::vector<std::filesystem::path> prerequisites;
};

// A path as Make reads it in a rule: a space or tab after a backslash
// ("\ "), with the backslashes before it doubled, "$" as "$$" and "#" as
// "\#". Every other byte passes unchanged, so names in any encoding stay
// the file system's own. A line break cannot be written in a rule; callers
// refuse it first (CheckDepfilePath).
std::string EscapeDepfilePath(const std::string& path);

// Ok, or the refusal for a path that no rule can name (one with a line
// break).
Status CheckDepfilePath(const std::filesystem::path& path);

// "t1 t2: \\\n p1 \\\n p2\n", then an empty rule for each prerequisite
// other than the first, so that Make, like a compiler's -MP, goes on when
// one of them has gone away (and rebuilds once it is back).
std::string FormatDepfile(const Dependencies& dependencies);

// Replaces `file` with the dependency file as a whole; on failure the old
// one stays and the message names the file and the reason.
Status WriteDepfile(const std::filesystem::path& file, const Dependencies& dependencies);

}  // namespace zentora
