// The event pump: genuine posted input arrives as window messages, in order, none lost.
#include <gtest/gtest.h>

#include <vector>

#include "support/gui_support.h"

namespace {

using platform::MessageKind;

class EventPump : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime.openWindow(0, 0, 862, 723, "pump");
    runtime.setClientSize(862, 694);
  }
  QWidget* client() { return runtime.clientWidget(); }
  // Runs a waiting loop until the window is gone, collecting what each pass saw.
  std::vector<platform::WindowMessage> drain() {
    std::vector<platform::WindowMessage> seen;
    while (runtime.windowExists()) {
      runtime.processEventsOnce();
      if (runtime.lastMessage().kind != MessageKind::None) seen.push_back(runtime.lastMessage());
    }
    return seen;
  }
  platform::Runtime runtime;
};

TEST_F(EventPump, EachKindOfInputBecomesOneMessageWithItsPosition) {
  guitest::postKeyStroke(client(), Qt::Key_L);
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5"));
  guitest::postClick(client(), Qt::LeftButton, 100, 200);
  guitest::postClick(client(), Qt::RightButton, 300, 400);
  runtime.postQuit();
  const auto seen = drain();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].kind, MessageKind::KeyRelease);
  EXPECT_EQ(seen[0].key, 'L');
  EXPECT_EQ(seen[1].kind, MessageKind::Char);
  EXPECT_EQ(seen[1].character, U'5');
  EXPECT_EQ(seen[2].kind, MessageKind::LeftPress);
  EXPECT_EQ(seen[2].x, 100);
  EXPECT_EQ(seen[2].y, 200);
  EXPECT_EQ(seen[3].kind, MessageKind::RightPress);
  EXPECT_EQ(seen[3].x, 300);
  EXPECT_EQ(seen[3].y, 400);
  EXPECT_FALSE(runtime.mouseButtonsHeld());
}

TEST_F(EventPump, ThePressIsActedOnWhereItHappened) {
  // The mouse moves on before the loop takes the press: the press still reports its place,
  // and the mouse position is that of the press while the loop acts on it.
  guitest::postClick(client(), Qt::LeftButton, 50, 60);
  guitest::postMove(client(), 400, 500);
  runtime.processEventsOnce();
  ASSERT_EQ(runtime.lastMessage().kind, MessageKind::LeftPress);
  EXPECT_EQ(runtime.mouseX(), 50);
  EXPECT_EQ(runtime.mouseY(), 60);
}

TEST_F(EventPump, FastInputIsNotLost) {
  const char* letters = "ABCDEFGHIJKLMNOPQRST";
  for (const char* p = letters; *p != '\0'; ++p) guitest::postKeyStroke(client(), Qt::Key_A + (*p - 'A'));
  runtime.postQuit();
  const auto seen = drain();
  ASSERT_EQ(seen.size(), 20u);
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].key, letters[i]);
}

TEST_F(EventPump, TypedEscapeAndDigitsCarryTheirCharacter) {
  guitest::postTyped(client(), Qt::Key_Escape, QString(QChar(27)));
  guitest::postTyped(client(), Qt::Key_0, "0");
  runtime.postQuit();
  const auto seen = drain();
  ASSERT_EQ(seen.size(), 4u);  // a character and a key release each
  EXPECT_EQ(seen[0].kind, MessageKind::Char);
  EXPECT_EQ(seen[0].character, char32_t(27));
  EXPECT_EQ(seen[1].kind, MessageKind::KeyRelease);
  EXPECT_EQ(seen[1].key, platform::kKeyEscape);
  EXPECT_EQ(seen[2].character, U'0');
  EXPECT_EQ(seen[3].key, '0');
}

TEST_F(EventPump, AConsumedKeyDoesNotComeBackAsItsRelease) {
  guitest::postTyped(client(), Qt::Key_Escape, QString(QChar(27)));
  guitest::postKeyStroke(client(), Qt::Key_A);
  runtime.processEventsOnce();
  ASSERT_EQ(runtime.lastMessage().kind, MessageKind::Char);
  runtime.consumeKeyRelease(platform::kKeyEscape);
  runtime.postQuit();
  const auto seen = drain();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].key, 'A');
}

TEST_F(EventPump, AReleaseIsAMessageOnlyAfterItsPressReachedTheClient) {
  // The S that chose a menu item, or the Escape that closed a dialog, is let go over the
  // client area: its press went elsewhere.
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier));
  // A press seen here, then the keyboard taken by a menu: its release is the menu's.
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier));
  QCoreApplication::postEvent(client(), new QFocusEvent(QEvent::FocusOut, Qt::PopupFocusReason));
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_L, Qt::NoModifier));
  guitest::postKeyStroke(client(), Qt::Key_A);
  runtime.postQuit();
  const auto seen = drain();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].key, 'A');
}

TEST_F(EventPump, AWaitingLoopEndsWhenItsInputEnds) {
  // No input at all: the loop waits without spinning and ends at the quit.
  runtime.postQuit();
  EXPECT_TRUE(drain().empty());
  EXPECT_FALSE(runtime.windowExists());
}

TEST_F(EventPump, WaitButtonsUpReturnsOnTheRelease) {
  guitest::postMouse(client(), QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
  runtime.processEventsOnce();
  EXPECT_TRUE(runtime.mouseButtonsHeld());
  guitest::postMouse(client(), QEvent::MouseButtonRelease, Qt::LeftButton, 10, 10);
  runtime.waitButtonsUp();
  EXPECT_FALSE(runtime.mouseButtonsHeld());
}

TEST_F(EventPump, CloseRequestAskedAndRefusable) {
  int asked = 0;
  runtime.onCloseRequest = [&] { return ++asked > 1; };
  runtime.mainWindowWidget()->close();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(runtime.windowExists());
  runtime.mainWindowWidget()->close();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(runtime.windowExists());
}

}  // namespace
