#pragma once

#include <cstdint>
#include <string>

namespace kenvo {

// The operator's fixed texts of the test procedures.
inline constexpr const char* MessageCommunicationError = "Error in communication";
inline constexpr const char* MessageNoLinesSelected = "No lines were selected!";
inline constexpr const char* QuestionDeleteLine = "Are You Sure You want to delete\n selected line?";
inline constexpr const char* MessagePlatformLost =
    "The platform was disconnected. Every completed attempt is kept; the attempt that was being "
    "recorded is lost. Check the cable, then save the data.";
inline constexpr const char* MessageStoreFull =
    "This data set holds the largest number of attempts. Save it and start a new test.";

// The view's timers the procedures run.
enum ViewTimer : int32_t {
    TimerTest = 1,     // stance and target tests, 50 ms
    TimerReplay = 3,   // replay, 50 ms, always running
    TimerDriving = 5,  // driving test, 55 ms
};

// The view modes the procedures set (the view's mode numbers).
enum ProcedureViewMode : int32_t {
    ProcedureBlankView = 0,
    ProcedureStanceView = 1,
    ProcedureReplayView = 2,
    ProcedureDrivingView = 11,
};

// What a procedure needs from whoever shows it: the window (message boxes, the button bar,
// the view's timers and redraws) or a terminal session without a window.
class ProcedurePort {
public:
    virtual ~ProcedurePort() = default;

    // A message box with an OK button and a fixed text.
    virtual void message(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;

    virtual void startTimer(int32_t id, int32_t periodMs) = 0;
    virtual void stopTimer(int32_t id) = 0;

    // The button bar of a template in place of the current one; hiding removes it.
    virtual void switchBar(int32_t templateId) = 0;
    virtual void hideBar() = 0;
    virtual void showBarControl(int32_t id, bool visible) = 0;

    virtual void setViewMode(int32_t mode) = 0;
    // A full repaint of the view in its current mode.
    virtual void redraw() = 0;

    // Before a new data set replaces unsaved measurements: true when the test may go on.
    virtual bool offerSave() = 0;
    // The Save command at the end of a test; true when the data set was written.
    virtual bool save() = 0;

    // The view over the whole screen (the target and driving tests) and back.
    virtual void setFullScreen(bool /*on*/) {}
    // Repaints only the driving square (the timer's scroll step).
    virtual void redrawDriving() { redraw(); }
};

// A port for running a procedure without a window (the command line, benchmarks): nothing is
// shown or asked, timers and bars do nothing, an offered save is declined quietly, and a save
// reports `saves` (the caller writes the file itself).
class HeadlessProcedurePort : public ProcedurePort {
public:
    explicit HeadlessProcedurePort(bool saves = false) : saves_(saves) {}
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    void startTimer(int32_t, int32_t) override {}
    void stopTimer(int32_t) override {}
    void switchBar(int32_t) override {}
    void hideBar() override {}
    void showBarControl(int32_t, bool) override {}
    void setViewMode(int32_t) override {}
    void redraw() override {}
    bool offerSave() override { return true; }
    bool save() override { return saves_; }

private:
    bool saves_;
};

}  // namespace kenvo
