// Time from process start to the first painted frame: Setup showing the
// Simple menu of a 10,000-entry catalogue over a 1920x1080 JPEG background,
// against a minimal Qt program that shows one empty window of the menu's
// size, and against the same program showing plain Qt widgets with a few
// lines of text in the menu's places. All run on an Xvfb server of the
// benchmark's own.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bench/host/FirstFrame.h"
#include "bench/store/SimpleCatalogue.h"
#include "bench/support/SyntheticPictures.h"

namespace {

namespace fs = std::filesystem;
using namespace orb::bench;

const TOwnDisplay& Display() {
  static const TOwnDisplay display;
  return display;
}

// A temporary folder, removed with everything in it at the end of the run.
struct TTemporaryFolder {
  fs::path Path = fs::temp_directory_path() / ("orb-bench-first-frame-" + std::to_string(getpid()));
  ~TTemporaryFolder() {
    std::error_code error;
    fs::remove_all(Path, error);
  }
};

// A medium with Setup, a Simple project with the background picture and
// the catalogue, made once per run.
std::string MediumProgram() {
  static const TTemporaryFolder folder;
  static const std::string program = [] {
    const fs::path& medium = folder.Path;
    fs::create_directories(medium / "Data");
    fs::create_directories(medium / "Pics");
    fs::copy_file(ORB_SETUP_BINARY, medium / "Setup", fs::copy_options::overwrite_existing);
    fs::copy_file(CatalogueFile(10000), medium / "Data" / "db.xml", fs::copy_options::overwrite_existing);
    TBytes jpeg = WriteJpeg(1920, 1080);
    std::ofstream(medium / "Pics" / "Back.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    std::ofstream(medium / "Setup.orbproj")
        << "<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass><Setup><Title>Bench</Title></Setup>"
           "<MainForm><Caption>Bench</Caption><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>False</AlphaBlend>"
           "<Components><Image><Path>Pics\\Back.jpg</Path></Image></Components></MainForm></Project></Orbdeck>";
    return (medium / "Setup").string();
  }();
  return program;
}

void Measure(benchmark::State& state, const std::string& program, const std::vector<std::string>& arguments) {
  if (Display().Name().empty()) {
    state.SkipWithError("Xvfb could not be started");
    return;
  }
  for (auto _ : state) {
    double seconds = SecondsToFirstFrame(Display().Name(), program, arguments);
    if (seconds < 0) {
      state.SkipWithError("no frame was painted");
      return;
    }
    state.SetIterationTime(seconds);
  }
}

void FirstFrame_Ours(benchmark::State& state) { Measure(state, MediumProgram(), {}); }
void FirstFrame_Peer(benchmark::State& state) { Measure(state, ORB_MINIMAL_QT_WINDOW, {"457x230"}); }
void FirstFrame_PeerWidgets(benchmark::State& state) {
  Measure(state, ORB_MINIMAL_QT_WINDOW, {"457x230", "--widgets"});
}

}  // namespace

BENCHMARK(FirstFrame_Ours)->Name("FirstFrameSimple10k/ours")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(FirstFrame_Peer)->Name("FirstFrameSimple10k/qt-window")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(FirstFrame_PeerWidgets)->Name("FirstFrameSimple10k/qt-widgets")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
