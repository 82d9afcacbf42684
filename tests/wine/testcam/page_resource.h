// Resource ids of the test camera's property page (read by windres and by C++).
#pragma once

#define IDD_TESTCAM_PAGE 100

// The controls that show the camera's values.
#define IDC_TESTCAM_BRIGHTNESS 1001
#define IDC_TESTCAM_EFFECT 1002
#define IDC_TESTCAM_POWERLINE 1003
