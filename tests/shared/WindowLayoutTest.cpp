// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "WindowLayout.h"

namespace vornak {
namespace {

// The window's zoom counts device pixels: half the work area, but never below the desktop's
// own scale rounded up while the window fits, so a scaled desktop never shrinks the window.
TEST(DeviceZoom, NeverBelowTheDesktopsScaleWhileTheWindowFits) {
    // 1920 x 1080 (less a task bar) at 96, 120, 144 and 192 DPI: 834 x 482 at every scale.
    for (const double scale : {1.0, 1.25, 1.5, 2.0}) {
        EXPECT_EQ(ChooseDeviceZoom(1920, 1040, scale), 2) << scale;
    }
    EXPECT_EQ(ChooseDeviceZoom(1280, 760, 1.0), 1);
    EXPECT_EQ(ChooseDeviceZoom(1280, 760, 1.5), 2) << "834 x 482, as at 100 % on a larger screen";
    EXPECT_EQ(ChooseDeviceZoom(1280, 760, 1.75), 2) << "3 would not fit the work area";
    EXPECT_EQ(ChooseDeviceZoom(3840, 2100, 2.5), 4);
    EXPECT_EQ(ChooseDeviceZoom(1366, 728, 2.5), 3);
    EXPECT_EQ(ChooseDeviceZoom(3840, 2100, 1.0), 4);
    EXPECT_EQ(ChooseDeviceZoom(400, 200, 2.0), 1) << "never below 1, even where nothing fits";
    EXPECT_EQ(ChooseDeviceZoom(1920, 1040, 120.0 / 96), 2) << "a scale computed from DPI";
}

}  // namespace
}  // namespace vornak
