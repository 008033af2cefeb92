// Painting the picture gallery over 500 real pictures (large JPEGs and PNGs
// made at the first run): the first full paint, which decodes every visible
// picture, and the same when the shared thumbnail store holds their
// thumbnails (the next start); a repaint with every thumbnail cached; and
// scrolling one page onto pictures not seen before. Two page sizes: the main
// window's default page and a maximised window's. The store is a folder of
// the benchmark's own, emptied before each cold run.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "image/image_gallery.h"
#include "image/thumbnail_cache.h"

namespace {

constexpr int kPictures = 500;

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-gallery";
}

std::filesystem::path CacheHome() {
  return WorkFolder() / "xdg-cache";
}

// Forgets every thumbnail: those in memory and those in the store.
void ForgetThumbnails(zentora::CImageGallery& gallery) {
  gallery.WaitForPrefetch();
  gallery.Thumbnails().WaitForStoreWrites();
  gallery.Thumbnails().Clear();
  std::filesystem::remove_all(CacheHome());
}

// Photo-like content, so that decoding costs what real pictures cost: a
// smooth base with fine noise, shifted per picture so no two files match.
QImage MakeBase(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-6, 6);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const double wave = std::sin(x * 0.011) * std::cos(y * 0.017);
      row[x] = qRgb(std::clamp(static_cast<int>(128 + 100 * wave) + noise(random), 0, 255),
                    std::clamp(x * 255 / width + noise(random), 0, 255),
                    std::clamp(y * 255 / height + noise(random), 0, 255));
    }
  }
  return image;
}

const std::vector<std::filesystem::path>& Pictures() {
  static const std::vector<std::filesystem::path> pictures = [] {
    std::filesystem::create_directories(WorkFolder());
    const QImage jpegBase = MakeBase(1920, 1080);
    const QImage pngBase = MakeBase(1280, 960);
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < kPictures; ++i) {
      const bool png = i % 2 == 1;
      std::filesystem::path path =
          WorkFolder() / ("picture-" + std::to_string(i) + (png ? ".png" : ".jpg"));
      if (!std::filesystem::exists(path)) {
        QImage picture = png ? pngBase : jpegBase;
        QPainter painter(&picture);
        painter.fillRect(QRect((i * 37) % 600, (i * 53) % 400, 300, 200),
                         QColor::fromHsv((i * 29) % 360, 200, 220));
        painter.end();
        picture.save(QString::fromStdString(path.string()), png ? "PNG" : "JPEG", png ? -1 : 85);
      }
      paths.push_back(path);
    }
    return paths;
  }();
  return pictures;
}

std::unique_ptr<zentora::CImageGallery> MakeGallery(const benchmark::State& state) {
  auto gallery = std::make_unique<zentora::CImageGallery>();
  for (const auto& path : Pictures()) {
    gallery->Items().Add(path);
  }
  gallery->resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  gallery->show();
  QApplication::processEvents();
  gallery->Layout();
  return gallery;
}

void Repaint(zentora::CImageGallery& gallery) {
  gallery.viewport()->repaint();
}

void BM_FirstFullPaint(benchmark::State& state) {
  const auto gallery = MakeGallery(state);
  for (auto _ : state) {
    state.PauseTiming();
    ForgetThumbnails(*gallery);
    state.ResumeTiming();
    Repaint(*gallery);
  }
}

// The next start: the store holds the thumbnails, the memory nothing.
void BM_FirstFullPaintFromStore(benchmark::State& state) {
  const auto gallery = MakeGallery(state);
  ForgetThumbnails(*gallery);
  Repaint(*gallery);
  for (auto _ : state) {
    state.PauseTiming();
    gallery->WaitForPrefetch();
    gallery->Thumbnails().WaitForStoreWrites();
    gallery->Thumbnails().Clear();
    state.ResumeTiming();
    Repaint(*gallery);
  }
}

void BM_WarmRepaint(benchmark::State& state) {
  const auto gallery = MakeGallery(state);
  Repaint(*gallery);
  gallery->WaitForPrefetch();
  for (auto _ : state) {
    Repaint(*gallery);
  }
}

// Scrolls one page down to the next, cycling through the gallery, onto
// pictures not seen before: at once (the pictures decoded ahead in the
// background are not all in yet), or after a pause long enough for them.
void ScrollOnePage(benchmark::State& state, bool pause) {
  const auto gallery = MakeGallery(state);
  QScrollBar* bar = gallery->verticalScrollBar();
  const int pageStep = bar->pageStep();
  int position = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (position + pageStep > bar->maximum()) {
      position = 0;
    }
    ForgetThumbnails(*gallery);
    bar->setValue(position);
    Repaint(*gallery);
    if (pause) {
      gallery->WaitForPrefetch();
    }
    position += pageStep;
    state.ResumeTiming();
    bar->setValue(position);
    Repaint(*gallery);
  }
}

void BM_ScrollOnePageAtOnce(benchmark::State& state) {
  ScrollOnePage(state, false);
}
void BM_ScrollOnePageAfterPause(benchmark::State& state) {
  ScrollOnePage(state, true);
}

// One picture to its thumbnail, by kind: a 1920 × 1080 JPEG decodes at an
// eighth of its size, a 1280 × 960 PNG decodes whole and is scaled down.
void BM_DecodeThumbnail(benchmark::State& state) {
  const auto& path = Pictures()[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    benchmark::DoNotOptimize(zentora::DecodeThumbnail(path).image.constBits());
  }
  state.SetLabel(path.extension().string());
}
BENCHMARK(BM_DecodeThumbnail)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The main window's default page, and the page of a window maximised on a
// 1280 × 900 screen.
void PageSizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Args({696, 540})->Args({1075, 830})->ArgNames({"w", "h"});
}

// Each cold run decodes a page or two of large pictures: a fixed count keeps
// the run short while the median stays meaningful.
constexpr int kColdRuns = 7;

BENCHMARK(BM_FirstFullPaint)
    ->Apply(PageSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColdRuns)
    ->UseRealTime();
BENCHMARK(BM_FirstFullPaintFromStore)
    ->Apply(PageSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColdRuns)
    ->UseRealTime();
BENCHMARK(BM_WarmRepaint)->Apply(PageSizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollOnePageAtOnce)
    ->Apply(PageSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColdRuns)
    ->UseRealTime();
BENCHMARK(BM_ScrollOnePageAfterPause)
    ->Apply(PageSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColdRuns)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never the user's own thumbnail store.
  qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(CacheHome().string()));
  QApplication application(argc, argv);
  return zentora::bench::RunBenchmarks(argc, argv, [] { Pictures(); });
}
