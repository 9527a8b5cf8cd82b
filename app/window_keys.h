#pragma once

#include <functional>

class QWidget;

// What the window's keys do.
struct TWindowKeyActions {
    std::function<void()> Open;       // Ctrl+O
    std::function<void()> Save;       // Ctrl+S
    std::function<void()> Quit;       // Ctrl+Q
    std::function<void()> Copy;       // Ctrl+C: the composed picture and reflection
    std::function<void()> Paste;      // Ctrl+V: a picture, as if opened
    std::function<void()> ToggleFit;  // F: fit to the page, or back to 100 %
    std::function<void()> ActualSize; // Ctrl+1: 100 %
    std::function<void()> FitToPage;  // Ctrl+0: fit
    std::function<void()> Cancel;     // Esc: stop the running save
    std::function<void()> Undo;       // Ctrl+Z: the values before the last change
    std::function<void()> Redo;       // Ctrl+Shift+Z (and Ctrl+Y): the change undone last
};

// Binds the keys to Window (anywhere in it, text fields keep their own
// editing keys) and shows the button mnemonics.
void InstallWindowKeys(QWidget* Window, const TWindowKeyActions& Actions);
