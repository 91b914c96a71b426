// Temporary: proves the test harness runs under the virtual X server.
#include "support.h"
#include "timer.h"
TEST(Smoke, ClockStartsStopped) {
  MineTimer timer;
  EXPECT_EQ(timer.timeFlag, 0);
}
