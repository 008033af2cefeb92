// The module preview window following the main window: another dither for
// the same 800 × 480 picture (the decoded picture is kept), and another
// picture selected (decoded first), each until the window has painted both
// halves at 1 ×. The window must keep up within 100 ms.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "bench/photo_pictures.h"
#include "bench/ratio_reporter.h"
#include "image/image_settings.h"
#include "readback/module_preview_dlg.h"

namespace {

const std::vector<std::filesystem::path>& Pictures() {
  static const std::vector<std::filesystem::path> pictures = zentora::bench::PhotoPictures(4);
  return pictures;
}

zentora::ImageSettings WithDither(zentora::Dither dither) {
  zentora::ImageSettings settings;
  settings.dither = dither;
  return settings;
}

void BM_OtherDither(benchmark::State& state) {
  zentora::CModulePreviewDlg dialog(WithDither(zentora::Dither::kNone), nullptr);
  dialog.show();
  dialog.SetPicture(Pictures()[static_cast<std::size_t>(state.range(0))]);
  const zentora::Dither dithers[] = {zentora::Dither::kOrdered, zentora::Dither::kDiffusion,
                                     zentora::Dither::kNone};
  int next = 0;
  for (auto _ : state) {
    dialog.SetImageSettings(WithDither(dithers[next++ % 3]));
    dialog.repaint();
  }
}

void BM_OtherPicture(benchmark::State& state) {
  zentora::CModulePreviewDlg dialog(WithDither(zentora::Dither::kDiffusion), nullptr);
  dialog.show();
  int next = 0;
  for (auto _ : state) {
    // PNG and JPEG in turn, each a file the window has not just decoded.
    dialog.SetPicture(Pictures()[static_cast<std::size_t>(next++ % 4)]);
    dialog.repaint();
  }
}

// 0: a PNG, 1: a JPEG.
BENCHMARK(BM_OtherDither)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OtherPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return zentora::bench::RunBenchmarks(argc, argv, [] { Pictures(); });
}
