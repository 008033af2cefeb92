#include "base/png_error_messages.h"

#include <dlfcn.h>

#include <atomic>

namespace {

// libpng's own types, by their layout: the program does not build against
// libpng, it only stands in for one of its functions.
using PngStruct = void*;
using PngErrorFunction = void (*)(PngStruct, const char*);
using SetErrorFunction = void (*)(PngStruct, void*, PngErrorFunction, PngErrorFunction);
using LongJumpFunction = void (*)(PngStruct, int);

std::atomic<bool> quiet{false};

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

[[noreturn]] void EndDecodingQuietly(PngStruct png, const char*) {
  static const LongJumpFunction longJump = Next<LongJumpFunction>("png_longjmp");
  longJump(png, 1);
  __builtin_unreachable();
}

}  // namespace

// Found ahead of libpng's own by every library that calls it, because the
// program defines it; forwards to libpng's.
extern "C" __attribute__((visibility("default"))) void png_set_error_fn(PngStruct, void*,
                                                                        PngErrorFunction,
                                                                        PngErrorFunction);

extern "C" void png_set_error_fn(PngStruct png, void* errorData, PngErrorFunction error,
                                 PngErrorFunction warning) {
  static const SetErrorFunction next = Next<SetErrorFunction>("png_set_error_fn");
  if (error == nullptr && quiet.load()) {
    error = EndDecodingQuietly;
  }
  next(png, errorData, error, warning);
}

namespace zentora {

void SetPngErrorsQuiet(bool value) {
  quiet.store(value);
}

}  // namespace zentora
