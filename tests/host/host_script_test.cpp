// The host's script language: every step read with its arguments, and the first bad line named.
#include <gtest/gtest.h>

#include "host/host_script.h"

namespace {

TEST(HostScript, ReadsEveryKindOfStepWithItsArguments) {
  const Script script = ParseScript(
      "# open a file and start\n"
      "menu Panels/PGN handling\n"
      "\n"
      "right-click 20 30\n"
      "menu Open...\n"
      "file C:\\games\\my games.pgn\n"
      "click 100 -4\n"
      "click-button Start\n"
      "click-check Duplicates\n"
      "type Carlsen, Magnus\n"
      "key Ctrl+A\n"
      "answer yes\n"
      "folder /tmp/games\n"
      "wait-modal\n"
      "resize 700 500\n"
      "capture panel out/panel shot.png\n"
      "print menu\n"
      "expect-file out/output.pgn\n"
      "expect-no-file out/other.pgn\n"
      "close\n");
  ASSERT_EQ(script.error, "");
  ASSERT_EQ(script.steps.size(), 18u);
  const ScriptStep& menu = script.steps[0];
  EXPECT_EQ(menu.kind, StepKind::Menu);
  EXPECT_EQ(menu.text, "Panels/PGN handling");
  EXPECT_EQ(menu.line, 2);
  EXPECT_EQ(script.steps[1].kind, StepKind::RightClick);
  EXPECT_EQ(script.steps[1].x, 20);
  EXPECT_EQ(script.steps[1].y, 30);
  EXPECT_EQ(script.steps[1].line, 4);
  EXPECT_EQ(script.steps[3].text, "C:\\games\\my games.pgn");  // blanks inside a path stay
  EXPECT_EQ(script.steps[4].y, -4);
  EXPECT_EQ(script.steps[5].text, "Start");
  EXPECT_EQ(script.steps[7].text, "Carlsen, Magnus");
  EXPECT_TRUE(script.steps[8].key.ctrl);
  EXPECT_EQ(script.steps[8].key.virtualKey, 'A');
  EXPECT_EQ(script.steps[9].text, "Yes");  // answers in any letter case, kept as the button says
  EXPECT_EQ(script.steps[12].kind, StepKind::Resize);
  EXPECT_EQ(script.steps[13].text, "panel");
  EXPECT_EQ(script.steps[13].file, "out/panel shot.png");
  EXPECT_EQ(script.steps[17].kind, StepKind::Close);
}

TEST(HostScript, StepsForFieldsListsWindowsAndSettings) {
  const Script script = ParseScript(
      "print fields\n"
      "pick Except basic (! ? !! ?? !? ?!)\n"
      "print list\n"
      "wait-window NAGs selection\n"
      "print-settings out/pgn_util.dat\n"
      "print memory\n");
  ASSERT_EQ(script.error, "");
  ASSERT_EQ(script.steps.size(), 6u);
  EXPECT_EQ(script.steps[0].text, "fields");
  EXPECT_EQ(script.steps[1].kind, StepKind::Pick);
  EXPECT_EQ(script.steps[1].text, "Except basic (! ? !! ?? !? ?!)");
  EXPECT_EQ(script.steps[2].text, "list");
  EXPECT_EQ(script.steps[3].kind, StepKind::WaitWindow);
  EXPECT_EQ(script.steps[3].text, "NAGs selection");
  EXPECT_EQ(script.steps[4].kind, StepKind::PrintSettings);
  EXPECT_EQ(script.steps[5].kind, StepKind::Print);
  EXPECT_EQ(script.steps[5].text, "memory");
  EXPECT_EQ(ParseScript("pick").error, "line 1: \"pick\" needs something after it");
}

TEST(HostScript, StopsAtTheFirstBadLineAndNamesIt) {
  EXPECT_EQ(ParseScript("close\nclik 1 2\n").error, "line 2: unknown step \"clik\"");
  EXPECT_EQ(ParseScript("click 1\n").error, "line 1: \"click\" needs two whole numbers");
  EXPECT_EQ(ParseScript("click 1 2 3\n").error, "line 1: \"click\" needs two whole numbers");
  EXPECT_EQ(ParseScript("resize 0 300").error, "line 1: a panel cannot be that small");
  EXPECT_EQ(ParseScript("\n\n  key Hyper+Q\n").error, "line 3: unknown key \"Hyper+Q\"");
  EXPECT_EQ(ParseScript("answer Maybe").error, "line 1: a message box is answered with Yes, No, OK or Cancel");
  EXPECT_EQ(ParseScript("capture desktop a.png").error, "line 1: capture host, panel or modal");
  EXPECT_EQ(ParseScript("capture host shot.jpg").error, "line 1: a capture is written to a .png or .bmp file");
  EXPECT_EQ(ParseScript("capture host .png").error, "line 1: a capture is written to a .png or .bmp file");
  EXPECT_EQ(ParseScript("file").error, "line 1: \"file\" needs something after it");
  EXPECT_EQ(ParseScript("close now").error, "line 1: \"close\" takes nothing after it");
  EXPECT_EQ(
      ParseScript("print everything").error,
      "line 1: print what? menu, menu-place, hover-marks, host-menu, panel, host, queries, fields, list or memory");
  EXPECT_EQ(ParseScript("press Ctrl+A").error,
            "line 1: press and release take one key: Shift, Ctrl or another key's name");
}

TEST(HostScript, EmptyScriptsAndCommentsHoldNoSteps) {
  EXPECT_TRUE(ParseScript("").steps.empty());
  EXPECT_EQ(ParseScript("").error, "");
  const Script script = ParseScript("# nothing\r\n   \r\n\t# still nothing\r\nclose\r\n");
  ASSERT_EQ(script.error, "");
  ASSERT_EQ(script.steps.size(), 1u);
  EXPECT_EQ(script.steps[0].line, 4);
}

TEST(HostScript, AKeyMayBePressedManyTimes) {
  const Script script = ParseScript("key PageUp 80\nkey Down\n");
  ASSERT_EQ(script.error, "");
  EXPECT_EQ(script.steps[0].x, 80);
  EXPECT_EQ(script.steps[0].key.virtualKey, 0x21);
  EXPECT_EQ(script.steps[1].x, 1);
  EXPECT_EQ(ParseScript("key Down 0").error, "line 1: a key is pressed 1 to 10000 times");
  EXPECT_EQ(ParseScript("key Down many").error, "line 1: a key is pressed 1 to 10000 times");
}

TEST(HostScript, KeysHeldDownAndFilesPrinted) {
  const Script script = ParseScript("press Shift\nclick 1 2\nrelease shift\nprint-file out/a.pgn\nprint host\n");
  ASSERT_EQ(script.error, "");
  ASSERT_EQ(script.steps.size(), 5u);
  EXPECT_EQ(script.steps[0].kind, StepKind::Press);
  EXPECT_EQ(script.steps[0].key.virtualKey, 0x10);
  EXPECT_EQ(script.steps[2].kind, StepKind::Release);
  EXPECT_EQ(script.steps[3].kind, StepKind::PrintFile);
  EXPECT_EQ(script.steps[3].text, "out/a.pgn");
  EXPECT_EQ(script.steps[4].text, "host");
}

TEST(HostScript, KeysByNameWithTheirModifiers) {
  KeyPress key;
  ASSERT_TRUE(KeyByName("Enter", key));
  EXPECT_EQ(key.virtualKey, 0x0D);
  ASSERT_TRUE(KeyByName("pagedown", key));
  EXPECT_EQ(key.virtualKey, 0x22);
  ASSERT_TRUE(KeyByName("Shift+Tab", key));
  EXPECT_TRUE(key.shift);
  EXPECT_FALSE(key.ctrl);
  EXPECT_EQ(key.virtualKey, 0x09);
  ASSERT_TRUE(KeyByName("ctrl+shift+z", key));
  EXPECT_TRUE(key.ctrl && key.shift);
  EXPECT_EQ(key.virtualKey, 'Z');
  ASSERT_TRUE(KeyByName("7", key));
  EXPECT_EQ(key.virtualKey, '7');
  EXPECT_FALSE(KeyByName("Ctrl+", key));
  EXPECT_FALSE(KeyByName("AB", key));
  EXPECT_FALSE(KeyByName("", key));
}

}  // namespace
