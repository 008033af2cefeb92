#include "font/font_library.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <span>
#include <thread>

#include "base/atomic_file_writer.h"
#include "base/file_descriptor.h"
#include "base/file_kind.h"
#include "base/ordered_pipeline.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "font/glyph_model.h"
#include "font/glyph_renderer.h"

namespace zentora {

namespace {

// Glyphs per unit of work: large enough that the hand-over costs little,
// small enough that progress moves smoothly and a stop is quick.
constexpr int kGlyphsPerChunk = 64;

int ProgressAfterGlyph(CharsetKind charset, int glyph, int count) {
  if (charset == CharsetKind::kAscii) {
    return glyph * 100 / count;
  }
  return static_cast<int>(static_cast<long long>(glyph + 1) * 100 / count);
}

// Holds the target while it is rebuilt, as the viewer holds a library it
// shows: a target that someone holds is refused, and nobody opens the old
// file until the new one has replaced it.
class CTargetHold {
 public:
  // Empty when the target may be replaced; else the message for the user.
  std::optional<std::string> Take(const std::filesystem::path& target) {
    fd_ = CFileDescriptor(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd_.IsOpen()) {
      // A missing target is the usual case; an unreadable one is reported
      // by the write that follows.
      return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) {
      return Tr("font", kLibraryFailurePrefix) + SystemErrorText(errno, target);
    }
    if (!S_ISREG(info.st_mode)) {
      return Tr("font", kLibraryFailurePrefix) +
             WithReason(target.string(), NotRegularFileReason(info.st_mode));
    }
    // A library without write permission is left alone like one held open,
    // even when root, who could replace it, runs us.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      return Tr("font", kLibraryBusyMessage);
    }
    if (::flock(fd_.Get(), LOCK_EX | LOCK_NB) != 0) {
      return errno == EWOULDBLOCK
                 ? Tr("font", kLibraryBusyMessage)
                 : Tr("font", kLibraryFailurePrefix) + SystemErrorText(errno, target);
    }
    return std::nullopt;
  }

 private:
  CFileDescriptor fd_;
};

// A failure while the library was built or written: the prefix, the path
// and the reason.
Outcome LibraryFailed(const LibraryRequest& request, const std::string& reason) {
  return Outcome::Failed(Tr("font", kLibraryFailurePrefix) +
                         WithReason(request.path.string(), reason));
}

}  // namespace

std::uint64_t LibraryLength(CharsetKind charset, const GlyphLayout& layout) {
  return static_cast<std::uint64_t>(GlyphCount(charset)) *
         static_cast<std::uint64_t>(BytesPerGlyph(layout));
}

std::optional<std::vector<std::uint8_t>> RenderLibrary(const LibraryRequest& request,
                                                       StatusSink& sink, std::stop_token stop,
                                                       int threads) {
  const GlyphLayout layout = request.layout;
  assert(IsValidGlyphLayout(layout));
  const std::size_t b = static_cast<std::size_t>(BytesPerGlyph(layout));
  const int count = GlyphCount(request.charset);
  const std::vector<std::optional<char16_t>> characters = CharsetCharacters(request.charset);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(count) * b, 0);

  if (threads <= 0) {
    threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  }
  const int chunks = (count + kGlyphsPerChunk - 1) / kGlyphsPerChunk;
  int lastProgress = -1;
  bool stopped = false;
  // Every chunk writes only its own glyphs' bytes, so the threads never
  // touch the same byte; each has its own renderer and FreeType face.
  RunOrderedPipeline<bool>(
      chunks, threads, threads * 2,
      [&](int chunk) {
        thread_local CGlyphRenderer renderer;
        const int end = std::min(count, (chunk + 1) * kGlyphsPerChunk);
        for (int glyph = chunk * kGlyphsPerChunk; glyph < end; ++glyph) {
          if (stop.stop_requested()) {
            return false;
          }
          if (const auto ch = characters[static_cast<std::size_t>(glyph)]) {
            ModelChar(renderer, request.font, layout, *ch,
                      std::span(block).subspan(static_cast<std::size_t>(glyph) * b, b));
          }
        }
        return true;
      },
      [&](int chunk, bool finished) {
        if (!finished || stop.stop_requested()) {
          stopped = true;
          return false;
        }
        const int end = std::min(count, (chunk + 1) * kGlyphsPerChunk);
        for (int glyph = chunk * kGlyphsPerChunk; glyph < end; ++glyph) {
          const int progress = ProgressAfterGlyph(request.charset, glyph, count);
          if (progress != lastProgress) {
            sink.SetProgress(progress);
            lastProgress = progress;
          }
        }
        return true;
      });
  if (stopped) {
    return std::nullopt;
  }
  return block;
}

Outcome GenerateLibrary(const LibraryRequest& request, StatusSink& sink, std::stop_token stop,
                        int threads) {
  if (!IsValidGlyphLayout(request.layout)) {
    return Outcome::Failed(Tr("font", kLibraryFailurePrefix) + Tr("font", "字模大小无效"));
  }
  CTargetHold hold;
  if (auto refused = hold.Take(request.path)) {
    return Outcome::Failed(std::move(*refused));
  }
  // The temporary file is made before the glyphs so that a folder we
  // cannot write to is reported at once, not after the whole set.
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(request.path);
  if (!writer) {
    return LibraryFailed(request, writer.error());
  }
  sink.SetProgress(0);
  std::optional<std::vector<std::uint8_t>> block = RenderLibrary(request, sink, stop, threads);
  if (!block) {
    return Outcome::Cancelled();
  }
  Status written = writer.value().Write(*block);
  if (written) {
    written = writer.value().Commit();
  }
  if (!written) {
    return LibraryFailed(request, written.message());
  }
  sink.SetProgress(100);
  return Outcome::Done();
}

}  // namespace zentora
