// Play speed in the window, on a 40 by 40 map with ten teams over a 1920 by 1080 map picture:
// two map clicks until the action panel shows, and one action resolved without a battle
// (frames, badges, log line, scoring, autosave). Goal for each: well under a frame, 16 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "common/linefile.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "shell/play.h"
#include "bench_main.h"

namespace zorvane {
namespace {

class AnswerDialogs : public Dialogs {
 public:
  QString answer;
  void message(const QString&, const QString&) override {}
  bool ask(const QString&, const QString&) override { return true; }
  std::optional<QString> open_file(const FileDialogRequest&) override { return answer; }
  std::optional<QString> save_file(const FileDialogRequest&) override { return answer; }
};

// A program folder with a 1920 by 1080 window, no computer teams, and a 40 by 40 map whose
// ten home cells lie in the first row.
struct Window {
  Window() {
    std::vector<std::string> config(41);
    config[10] = " 0 ";
    for (int i = 11; i < 37; ++i) config[static_cast<std::size_t>(i)] = i < 24 ? " 0 " : "";
    config[37] = "False";
    config[38] = "True";
    config[39] = "1920";
    config[40] = "1100";
    write_file_atomic(path("config.dat"), join_crlf(config));
    std::string roster;
    for (int i = 0; i < 50; ++i) roster += "tank.ai\r\n";
    write_file_atomic(path("c_data.dat"), roster);
    std::string map;
    for (int r = 0; r < 40; ++r) {
      for (int c = 0; c < 40; ++c) map += r == 0 && c % 4 == 1 ? static_cast<char>('A' + c / 4) : "12345"[(r + c) % 5];
      map += "\r\n";
    }
    write_file_atomic(path("bench.aim"), map);
    window = std::make_unique<MainWindow>(dir.path(), dialogs);
    window->show();
    QCoreApplication::processEvents();
    dialogs.answer = dir.filePath(QStringLiteral("bench.aim"));
    window->new_campaign_from_menu();
  }
  std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
  // Clicks the centre of cell n.
  void click(int n) {
    const CampaignState& s = window->state();
    window->play().map_click(static_cast<int>(s.field(n, x_px).to_whole()) + s.cell_w / 2,
                               static_cast<int>(s.field(n, y_px).to_whole()) + s.cell_h / 2);
  }
  int home_of_current_team() const { return 2 + 4 * (window->state().current_team - 1); }

  QTemporaryDir dir;
  AnswerDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

void BM_ClickToActionPanel40(benchmark::State& bench) {
  Window w;
  for (auto _ : bench) {
    w.click(2);
    w.click(42);  // the cell below team A's home
    benchmark::DoNotOptimize(w.window->play().action_panel().visible);
    w.window->play().cancel_action();
  }
}
BENCHMARK(BM_ClickToActionPanel40)->Unit(benchmark::kMillisecond);

void BM_ResolvedActionWithoutBattle40(benchmark::State& bench) {
  Window w;
  for (auto _ : bench) {
    const int home = w.home_of_current_team();
    w.click(home);
    w.click(home);  // an augment
    w.window->play().confirm_action();
  }
  bench.counters["actions"] = static_cast<double>(w.window->state().action_count);
}
BENCHMARK(BM_ResolvedActionWithoutBattle40)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) { return zorvane::run_benchmarks_in<QApplication>(argc, argv); }
