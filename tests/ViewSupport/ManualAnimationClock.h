#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

// While it lives, every Qt animation of the test (the design system's transitions included) runs on
// time the test advances itself, never on the wall clock.
class ManualAnimationClock : public QAnimationDriver {
public:
    ManualAnimationClock() {
        install();
        advanceBy(0);  // animations already running take up the new time base before the test steps it
    }
    ~ManualAnimationClock() override { uninstall(); }

    // Moves time on and lets the running animations take their new values.
    void advanceBy(qint64 milliseconds) {
        // Animations started since the last step join the clock now, so the step counts in full for
        // them: the first tick starts the driver, the posted calls after it register them.
        QCoreApplication::sendPostedEvents();
        advance();
        QCoreApplication::sendPostedEvents();
        now_ += milliseconds;
        advance();
    }

    // As every driver does: the time since the animations last started to run.
    qint64 elapsed() const override { return now_ - startedAt_; }

protected:
    void start() override {
        startedAt_ = now_;
        QAnimationDriver::start();
    }

private:
    qint64 now_ = 0;
    qint64 startedAt_ = 0;
};
