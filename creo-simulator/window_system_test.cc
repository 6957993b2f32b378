// The simulated Creo windows: identifiers, the current window and failures on demand.
#include <gtest/gtest.h>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "window_system.h"

namespace creosim {
namespace {

TEST(SimWindows, OperationsFailOnDemandAndTrackTheCurrentWindow) {
  FaultInjector faults;
  WindowSystem windows(faults);
  SimWindow_ptr base = windows.baseWindow();
  EXPECT_EQ(windows.currentWindow(), base);
  EXPECT_EQ(base->GetId(), 0);

  SimWindow_ptr second = windows.openWindow(nullptr);
  EXPECT_EQ(windows.currentWindow(), second);
  EXPECT_EQ(second->GetId(), 1);
  windows.setCurrentWindow(base);
  EXPECT_EQ(windows.currentWindow(), base);

  faults.failNext("pfcWindow::GetId", "pfcXToolkitNotFound");
  EXPECT_THROW(base->GetId(), pfcXToolkitNotFound);
  faults.failNext("pfcWindow::SetBrowserSize", "pfcXToolkitBadContext");
  EXPECT_THROW(base->SetBrowserSize(50.0), pfcXToolkitBadContext);
  EXPECT_EQ(base->browserSize(), 0.0);
  base->SetBrowserSize(50.0);
  EXPECT_EQ(base->browserSize(), 50.0);
  faults.failNext("pfcWindow::SetURL", "pfcXToolkitCantOpen");
  EXPECT_THROW(base->SetURL("http://127.0.0.1:1/"), pfcXToolkitCantOpen);
  EXPECT_TRUE(windows.browser().visits().empty());
  EXPECT_EQ(base->url(), "");

  windows.closeWindow(base);
  EXPECT_EQ(windows.currentWindow(), nullptr);
  EXPECT_THROW(windows.setCurrentWindow(base), pfcXToolkitNotFound);
}

}  // namespace
}  // namespace creosim
