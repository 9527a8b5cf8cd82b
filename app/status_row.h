#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QToolButton;

// The status row in the window's footer: what the last save or copy did, a
// progress bar with the file's name and a Cancel button while a save runs,
// and the size the active page's picture will have when saved.
class TStatusRow : public QWidget
{
  public:
    explicit TStatusRow(QWidget* Parent);

    // "Saved photo-reflection.png (6000 × 4051, 31.2 MB)", "Copying…".
    void ShowMessage(const QString& Text);
    QString Message() const;
    // Shows the bar for Text ("Saving NAME") with the Cancel button.
    void ShowProgress(const QString& Text);
    // Done 0..1; 0 shows a busy bar, for encoders that cannot tell.
    void SetProgress(double Done);
    void HideProgress();
    bool ProgressShown() const;
    // "6000 × 4051 pixels when saved", at the row's right end.
    void ShowOutputSize(const QString& Text);
    QString OutputSize() const;

    // "Show transparency": the pages show a checkerboard where a save with
    // alpha is transparent. Off at first, so the stored look stays.
    QCheckBox* TransparencyToggle() const { return FTransparency; }
    QProgressBar* ProgressBar() const { return FBar; }
    QToolButton* CancelButton() const { return FCancel; }

    // Run when Cancel is clicked.
    std::function<void()> OnCancel;

  private:
    QLabel* FMessage;
    QProgressBar* FBar;
    QToolButton* FCancel;
    QLabel* FOutputSize;
    QCheckBox* FTransparency;
};
