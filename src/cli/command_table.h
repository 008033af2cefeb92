#pragma once

#include <QStringList>

#include <string>

namespace zentora::cli {

// The usage text: what 'zentora-cli --help' prints.
std::string UsageText();

// Runs the command that arguments[1] names (arguments[0] is the program),
// with an action from arguments[2] for a command that has actions, and
// returns its exit status; an unknown one is a usage error.
int RunCommand(const QStringList& arguments);

}  // namespace zentora::cli
