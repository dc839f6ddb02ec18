#pragma once

#include <QWidget>

#include <array>

class AppState;
class FadingStack;
class PreferencePicker;
class StyledButton;
class TextLabel;

// The first-run screen: three pages (what the application does, its privacy promises, the scan
// folder and file access) with a rail of numbered steps, a back and a forward button and the
// language choice. Pressing start on the last page emits completed(); nothing else is stored here.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    static constexpr int pageCount = 3;

    explicit OnboardingView(AppState& state, QWidget* parent = nullptr);

    int page() const { return page_; }
    void goBack();
    void goForward();  // Return does the same

    StyledButton* backButton() const { return back_; }
    StyledButton* forwardButton() const { return forward_; }
    QString forwardTitle() const;
    QString stepCounterText() const;
    PreferencePicker* languagePicker() const { return languagePicker_; }
    QWidget* pageWidget() const;

    // What a rail step shows: selected (filled marker, its number in white), complete (a check on
    // the tint at 18 %), or neither (its number on the track).
    struct StepState {
        bool selected = false;
        bool complete = false;
    };
    StepState stepState(int index) const;
    bool connectorComplete(int index) const;

signals:
    void completed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class StepMarker;
    class Connector;

    QWidget* makeRail();
    QWidget* makePageArea();
    QWidget* makePage(int page);
    void showPage(int page);

    AppState& state_;
    int page_ = 0;
    std::array<StepMarker*, pageCount> markers_{};
    std::array<TextLabel*, pageCount> stepTitles_{};
    std::array<Connector*, pageCount - 1> connectors_{};
    PreferencePicker* languagePicker_ = nullptr;
    FadingStack* pages_ = nullptr;
    StyledButton* back_ = nullptr;
    StyledButton* forward_ = nullptr;
    TextLabel* forwardText_ = nullptr;
    TextLabel* counter_ = nullptr;
};
