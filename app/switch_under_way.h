// SwitchUnderWay: marks a switch of the camera by the host itself as under way for its lifetime,
// so that a tick or a device message meanwhile leaves the re-apply alone.
#pragma once

class SwitchUnderWay {
public:
    explicit SwitchUnderWay(bool& flag) : flag_(flag) { flag_ = true; }
    ~SwitchUnderWay() { flag_ = false; }
    SwitchUnderWay(const SwitchUnderWay&) = delete;
    SwitchUnderWay& operator=(const SwitchUnderWay&) = delete;

private:
    bool& flag_;
};
