// The window of an installed Zorvane as a user who cannot write to the install meets it:
// started on the install's bin/ folder (ZORVANE_INSTALLED_BIN) with this user's own folder,
// a campaign with battles, the settings and rosters changed, the autosave found at the next
// start. check_install.sh runs it as unprivileged users, each with a fresh HOME.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "campaign/save_file.h"
#include "places/file_places.h"
#include "shell/settings_panels.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

std::string in(const QString& folder, const char* name) { return (folder + QLatin1Char('/') + name).toStdString(); }


TEST(Installed, UserPlaysWithBattlesKeepsSettingsAndRostersAndFindsTheAutosave) {
  const QString bin = qEnvironmentVariable("ZORVANE_INSTALLED_BIN");
  ASSERT_FALSE(bin.isEmpty()) << "started by tests/install/check_install.sh";
  QCoreApplication::setApplicationName(QStringLiteral("zorvane"));  // the installed program's name
  FilePlaces places = FilePlaces::at_start_up(bin);
  const QString mine = places.user_folder();
  const QString shipped = places.data_folder();
  ASSERT_TRUE(places.installed());
  EXPECT_EQ(std::pair(mine, shipped),
            std::pair(QDir::homePath() + "/.local/share/zorvane", QDir::cleanPath(bin + "/../share/zorvane")));
  // A first start for this user: their settings and rosters are the shipped ones, not another user's.
  for (const char* name : {"config.dat", "c_data.dat"}) {
    EXPECT_EQ(read_bytes(in(mine, name)), read_bytes(in(shipped, name))) << name;
  }
  const std::vector<std::string> search = places.search_folders();

  FakeDialogs dialogs;
  auto w = std::make_unique<MainWindow>(std::move(places), dialogs);
  w->show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(find_in<QLabel>(*w, "TurnIndicator")->toolTip().contains(mine));
  find_in<QAction>(*w, "mnuHelp")->trigger();
  EXPECT_TRUE(find_in<QPlainTextEdit>(*w, "Text11")->toPlainText().startsWith("ZORVANE - HELP"));

  // The turn limit saved with OK lands in the user's config.dat.
  find_in<QAction>(*w, "mnuConfig")->trigger();
  find_in<QLineEdit>(*w, "Text23")->setText("500");
  find_in<QPushButton>(*w, "Command5")->click();
  std::vector<std::string> config = split_lines_any(read_bytes(in(shipped, "config.dat")));
  config.at(35) = "500";
  EXPECT_EQ(read_bytes(in(mine, "config.dat")), join_crlf(config));

  // The army panel offers the shipped game's units; team A's first unit taken out and saved.
  find_in<QPushButton>(*w, "Command16")->click();
  EXPECT_EQ(find_in<QListWidget>(*w, "List4")->count(), 7);
  find_in<QListWidget>(*w, "List5")->setCurrentRow(0);
  find_in<QPushButton>(*w, "Command17")->click();
  find_in<QPushButton>(*w, "Command18")->click();
  std::vector<std::string> rosters = split_lines_any(read_bytes(in(shipped, "c_data.dat")));
  rosters.resize(50);
  std::rotate(rosters.begin(), rosters.begin() + 1, rosters.begin() + 5);
  rosters.at(4).clear();
  EXPECT_EQ(read_bytes(in(mine, "c_data.dat")), join_crlf(rosters));

  // Every team by the computer until a battle has been fought, its files in the user's folder.
  w->settings().computer_controlled.fill(1);
  dialogs.answer(shipped + "/maps/duel-8.aim");
  find_in<QAction>(*w, "mnuNew")->trigger();
  EXPECT_EQ(dialogs.folders.back(), shipped + "/maps");
  for (int tick = 0; tick < 300 && !QFileInfo::exists(QString::fromStdString(in(mine, "zorvtmp.txt"))); ++tick) {
    w->play().computer_tick();
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->play().battle_running(); }, 20000));
  for (const char* name : {"zorvtmp.scn", "zorvtmp.txt"}) {
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(in(mine, name)))) << name;
  }
  EXPECT_GT(split_lines_cr(read_bytes(in(mine, "blog.txt"))).size(), 2u);
  find_in<QAction>(*w, "mnusnapshot")->trigger();
  EXPECT_TRUE(QFileInfo(QString::fromStdString(in(mine, "ZIDizizi.bmp"))).size() > 0);
  dialogs.answer(mine + "/campaign.sav");
  find_in<QAction>(*w, "mnuSave")->trigger();
  EXPECT_EQ(dialogs.folders.back(), mine);
  w->play().flush_autosave();
  const CampaignState played = w->state();
  w.reset();

  // The next start finds the user's settings, and the autosave where the load dialog starts.
  dialogs.answer(mine + "/autosave.sav");
  w = std::make_unique<MainWindow>(FilePlaces::at_start_up(bin), dialogs);
  w->show();
  EXPECT_EQ(find_in<QLineEdit>(*w, "Text23")->text(), "500");
  find_in<QAction>(*w, "mnuLoad")->trigger();
  EXPECT_EQ(dialogs.folders.back(), mine);
  EXPECT_EQ(campaign_save_bytes(w->state()), campaign_save_bytes(played));
  EXPECT_TRUE(load_campaign_save(in(mine, "campaign.sav"), search, 0, 0).ok());
  for (const std::string& said : dialogs.messages) {
    EXPECT_EQ(said.find("could not"), std::string::npos) << said;
  }
}

}  // namespace
}  // namespace zorvane::testing
