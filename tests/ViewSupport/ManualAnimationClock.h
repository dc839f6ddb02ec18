#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

// While it lives, every Qt animation of the test (the design system's transitions included) runs on
// time the test advances itself, never on the wall clock.
class ManualAnimationClock : public QAnimationDriver {
public:
    ManualAnimationClock() { install(); }
    ~ManualAnimationClock() override { uninstall(); }

    // Moves time on and lets the running animations take their new values.
    void advanceBy(qint64 milliseconds) {
        QCoreApplication::sendPostedEvents();  // animations started since the last step join the clock
        elapsed_ += milliseconds;
        advance();
    }

    qint64 elapsed() const override { return elapsed_; }

private:
    qint64 elapsed_ = 0;
};
