#pragma once

class QAction;
namespace Ui {
class TfrmMain;
}

// Where the run stands, as the window last heard it from the run and from
// its own "Make Process": every run control follows from this alone.
struct RunControlState {
    // A process is there to play: made, restored from a journal, or played.
    bool processMade = false;
    // From the run's beginning, its connection test included, to its end.
    bool running = false;
    // Start was pressed while other work was in hand and waits for it.
    bool startHeld = false;
    bool paused = false;
    bool turnBackOpen = false;
    bool resumeOpen = false;
    bool copyOpen = true;
};

// The buttons that make and play a run, "Copy photos" and "Resume
// Interrupted Run...": whether each may be pressed, and the Pause button's
// caption, set together from one state.
class RunControls {
public:
    // Shows the state of a program that has made nothing yet.
    RunControls(Ui::TfrmMain& ui, QAction* resume);

    // Lets `change` edit the state, then sets every control from it.
    template <typename Change>
    void Update(Change change) {
        change(state_);
        Enable();
    }

private:
    void Enable();

    Ui::TfrmMain& ui_;
    QAction* resume_;
    RunControlState state_;
};
