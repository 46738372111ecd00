// A window or picture that cannot be made: the program says which one, in a
// single stop message, closes every window and ends, without a crash and
// without writing anything afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

const std::string kRead = "get VrOpt\\LoadPictureNumber";
const std::string kWriteTwo = "save VrOpt\\LoadPictureNumber=2";

struct FailureCase {
  const char* name;
  std::function<void(TestDesktop&)> before;  // runs normally
  std::function<void(FakeWindowing&)> breakIt;
  std::function<void(TestDesktop&)> act;     // meets the failure
  const char* named;                         // what the message names
  Log settings;                              // the settings traffic of the whole run
};

TEST(Failure, WindowOrPictureThatCannotBeMadeEndsTheProgramWithOneMessage) {
  auto nothing = [](TestDesktop&) {};
  auto start = [](TestDesktop& d) { d.startToMainWindow(); };
  auto toMore = [](TestDesktop& d) {
    d.startToMainWindow();
    pushButton(d, "Image10", "MF");
  };
  const std::vector<FailureCase> cases = {
      {"splash window", nothing, [](FakeWindowing& w) { w.failToCreate = {"FormLoad"}; }, start,
       "FormLoad", {}},
      {"splash picture", nothing, [](FakeWindowing& w) { w.missingPictures = {"formload/rnd3"}; },
       start, "formload/rnd3", {}},
      {"main window picture at the hand-over", nothing,
       [](FakeWindowing& w) { w.missingPictures = {"formmain/DTF"}; }, start, "formmain/DTF",
       {kRead, kWriteTwo}},
      {"page opened through Loading", start,
       [](FakeWindowing& w) { w.failToCreate = {"Form1"}; },
       [](TestDesktop& d) { pushButton(d, "Image4", "DTF"); }, "Form1", {kRead, kWriteTwo}},
      {"Loading window", start, [](FakeWindowing& w) { w.failToCreate = {"Loading"}; },
       [](TestDesktop& d) { pushButton(d, "Image6", "SYF"); }, "Loading", {kRead, kWriteTwo}},
      {"page opened directly", start, [](FakeWindowing& w) { w.failToCreate = {"Form6"}; },
       [](TestDesktop& d) { openTab(d, "GY", "GY2"); },
       "Form6", {kRead, kWriteTwo}},
      {"main window on the way back", toMore,
       [](FakeWindowing& w) { w.failToCreate = {"FormMain"}; },
       [](TestDesktop& d) { pushButton(d, "Image5", "Image6"); }, "FormMain", {kRead, kWriteTwo}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    c.before(d);
    ASSERT_FALSE(d.app.ended());
    c.breakIt(d.fake.windowing);
    EXPECT_NO_THROW(c.act(d));

    ASSERT_NO_FATAL_FAILURE(expectEndedByOneStopMessage(d, c.named));
    EXPECT_EQ(d.fake.settings.log, c.settings);
    expectDeafAfterTheEnd(d);
  }
}

}  // namespace
}  // namespace velmora::testing
