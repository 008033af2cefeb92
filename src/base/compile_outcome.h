#pragma once

namespace zentora {

// What a resource compiler did. Callers that follow the module's 1/0
// convention use SucceededAsInt(): only the two written outcomes count as 1.
enum class CompileOutcome {
  Written,              // both files written completely
  WrittenWithWarnings,  // written, and a line told of input that did not compile as given
  EmptyList,            // nothing to compile; both files exist and are empty
  Failed,               // a file could not be created or written; a line says which
};

constexpr int SucceededAsInt(CompileOutcome outcome) {
  return outcome == CompileOutcome::Written || outcome == CompileOutcome::WrittenWithWarnings ? 1
                                                                                              : 0;
}

}  // namespace zentora
