// What the test camera registers and reads, shared by the DLL and the programs that check it.
#pragma once

#include "platform/win32.h"
#include "tests/wine/testcam/page_resource.h"

namespace testcam {

// The test camera's capture filter, listed in the video input category as kCameraName.
inline constexpr CLSID kCameraClsid{
    0x46A26628, 0x9F01, 0x421A, {0x96, 0x83, 0xE4, 0xA0, 0x34, 0xF9, 0x65, 0x2C}};
// A second capture device of another maker, which Lumiset must leave alone.
inline constexpr CLSID kForeignClsid{
    0x57219CEC, 0xCEB6, 0x46AC, {0x8D, 0x0F, 0xC2, 0x68, 0x10, 0x41, 0xE9, 0x34}};
// The property page the camera's filter lists in GetPages.
inline constexpr CLSID kPageClsid{
    0x91981F85, 0xDA85, 0x47AF, {0x97, 0xE1, 0x11, 0x28, 0xBE, 0x22, 0xCA, 0x43}};

inline constexpr wchar_t kCameraName[] = L"USB Test Camera";
inline constexpr wchar_t kForeignName[] = L"Integrated Webcam";
inline constexpr wchar_t kPageTitle[] = L"Test Camera";

// The DllInstall command line (regsvr32 /i:foreign) that adds or removes the foreign device.
inline constexpr wchar_t kForeignInstallCommand[] = L"foreign";

// Environment: the file each request is appended to, one line each (none when unset), and the
// power-line frequency (1 or 2) a process starts with instead of 2.
inline constexpr wchar_t kLogVariable[] = L"LUMISET_TESTCAM_LOG";
inline constexpr wchar_t kPowerLineVariable[] = L"LUMISET_TESTCAM_POWERLINE";
// A file another process writes "1" or "2" into: the camera takes that power-line frequency
// before its next request, as a camera that lost its setting does, and deletes the file.
inline constexpr wchar_t kPowerLineChangeVariable[] = L"LUMISET_TESTCAM_POWERLINE_CHANGE";

// Lines of requests that reach the foreign device start with this, so that a log shows at once
// which device a program talked to.
inline constexpr char kForeignLogPrefix[] = "foreign ";

}  // namespace testcam
