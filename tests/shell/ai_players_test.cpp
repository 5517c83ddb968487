// The AI panel's choice of computer player per team, its file beside config.dat, and the
// turn indicator that names the player.
#include <QComboBox>
#include <QLabel>

#include "campaign/state.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

// A damaged choice file is said once, and Classic plays every team until the panel's choice
// replaces it.
TEST(AiPanel, ChoosesEachTeamsPlayerKeepsItBesideTheSettingsAndThePlayerPlays) {
  WindowHarness h;
  h.dir.write("ai_players.dat", "A=general\r\nB=expert\r\n");
  h.start();
  ASSERT_EQ(h.said().size(), 1u);
  EXPECT_NE(h.said()[0].find(h.dir.file("ai_players.dat") +
                             "\" cannot be used, so Classic plays every team: line 2: \"expert\" is no computer player"),
            std::string::npos)
      << h.said()[0];
  EXPECT_EQ(h.window->settings().computer_players, ComputerPlayers{});
  h.dialogs.messages.clear();
  h.trigger("mnuConfig");
  h.click("Command15");
  ASSERT_TRUE(h.shown("Picture5"));
  auto* box = h.find<QComboBox>("Combo1");
  EXPECT_EQ(box->currentText(), "Classic");
  box->setCurrentIndex(box->findText("General"));
  EXPECT_EQ(h.window->settings().computer_players[0], PlayerKind::general);
  h.click("Command14");
  EXPECT_EQ(h.bytes("ai_players.dat"), "A=general\r\nB=classic\r\nC=classic\r\nD=classic\r\nE=classic\r\nF=classic\r\n"
                                       "G=classic\r\nH=classic\r\nI=classic\r\nJ=classic\r\n");
  EXPECT_EQ(h.bytes("config.dat"), shipped_file("config.dat"));  // still its 41 lines

  // The next start reads it; the computer's team A is played by the General, which fills
  // its home with the strongest unit of its roster, and the indicator says who plays.
  h.start();
  EXPECT_EQ(h.window->settings().computer_players[0], PlayerKind::general);
  h.trigger("mnuConfig");
  h.click("Command15");
  EXPECT_EQ(h.find<QComboBox>("Combo1")->currentText(), "General");
  h.click("Command14");
  h.window->settings().game_exe_path = ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe";
  h.window->settings().computer_controlled[0] = 1;
  h.new_campaign(h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim")));
  EXPECT_EQ(h.find<QLabel>("TurnIndicator")->text(), "Turn 0: team A to move (computer: General)");
  h.window->play().computer_tick();
  for (int k = 0; k < 5; ++k) EXPECT_EQ(h.window->state().field(10, unit_1 + k).to_text(), "tank.ai");
  EXPECT_TRUE(h.said().empty());
}

}  // namespace
}  // namespace zorvane::testing
