#pragma once

namespace tidemark {

// Adds up a wheel's deltas into whole notches. A high-resolution wheel or a touchpad sends
// parts of a notch; parts of a turn the other way are no longer on their way to one.
class WheelNotches {
public:
    explicit WheelNotches(double perNotch) : perNotch_(perNotch) {}

    // The whole notches `delta` completes, with the sign of the deltas.
    int add(double delta) {
        if ((delta > 0 && remainder_ < 0) || (delta < 0 && remainder_ > 0))
            remainder_ = 0;
        remainder_ += delta;
        const int notches = int(remainder_ / perNotch_);
        remainder_ -= notches * perNotch_;
        return notches;
    }
    // The pointer left: a part of a notch does not carry over to the next visit.
    void reset() { remainder_ = 0; }

private:
    double perNotch_;
    double remainder_ = 0;
};

} // namespace tidemark
