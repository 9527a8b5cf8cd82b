#pragma once

#include "app/value_history.h"
#include "imaging/saving/save_formats.h"
#include "toolkit/widgets/form.h"

#include <QColor>
#include <QSize>
#include <QStringList>
#include <memory>

class QCheckBox;
class QSpinBox;
class QCloseEvent;
class QLabel;
class QObject;
class QTimer;
class TBackgroundSave;
class TQuickOpen;
class TClipboardCopy;
class TStatusRow;
class TImageView;
struct TCheckedPicture;
struct TOfferedPicture;
class TButton;
class TColorDialog;
class TEdit;
class TFontDialog;
class TLabel;
class TOpenDialog;
class TOrbReflectionImage;
class TOrbReflectionLabel;
class TPageControl;
class TPanel;
class TSaveDialog;
class TStylePanel;
class TTabSheet;
class TTrackBar;
struct TLabelPictureOptions;

// The main window: a top panel with the save button and four sliders, the
// "Image" and "Text" pages, and a footer with the maker's web link. It keeps
// no reflection state of its own; the sliders, buttons and dialogs act on the
// reflection control of the active page.
class TForm2 : public TForm
{
    Q_OBJECT
  public:
    // Creates the window from the layout compiled into the program
    // (":/rcdata/TFORM2"); FormCreate has run when the constructor returns.
    explicit TForm2(QWidget* Parent = nullptr);
    // Creates the window from the given stored layout instead.
    TForm2(const QByteArray& Layout, QWidget* Parent);

    // The components, found by name once the layout has been read.
    TPanel* Panel1 = nullptr;
    TButton* Button1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TTrackBar* TrackBar1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TTrackBar* TrackBar2 = nullptr;
    TTrackBar* TrackBar3 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TOrbReflectionImage* OrbReflectionImage1 = nullptr;
    TButton* Button2 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TTrackBar* TrackBar4 = nullptr;
    TPanel* Panel2 = nullptr;
    TLabel* Label10 = nullptr;
    TLabel* Label11 = nullptr;
    // The "Text" page and the dialogs that serve it (text_page.cpp).
    TOrbReflectionLabel* OrbReflectionLabel1 = nullptr;
    TLabel* Label7 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button3 = nullptr;
    TFontDialog* FontDialog1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    // "Trim to the text" and "Transparent background": what a save of the
    // "Text" page writes besides the label's whole area.
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    // The width the text wraps in and is saved at; 0: the page's.
    QSpinBox* WrapWidth = nullptr;

    // The event handlers the layout binds by name.
    Q_INVOKABLE void Button1Click(QObject* Sender);
    Q_INVOKABLE void Button2Click(QObject* Sender);
    Q_INVOKABLE void TrackBar1Change(QObject* Sender);
    Q_INVOKABLE void FormCreate(QObject* Sender);
    Q_INVOKABLE void TrackBar2Change(QObject* Sender);
    Q_INVOKABLE void TrackBar3Change(QObject* Sender);
    Q_INVOKABLE void TrackBar4Change(QObject* Sender);
    Q_INVOKABLE void PageControl1Change(QObject* Sender);
    Q_INVOKABLE void Label11Click(QObject* Sender);
    Q_INVOKABLE void Edit1Change(QObject* Sender);
    Q_INVOKABLE void Button3Click(QObject* Sender);
    Q_INVOKABLE void OrbReflectionLabel1MouseUp(QObject* Sender);

    // Puts the active page's reflection parameters on the sliders.
    void LoadSliders();

    // Opens FileName on the "Image" page, as "Open image" does: a file that
    // cannot be shown is reported and the current picture stays.
    void OpenFile(const QString& FileName);
    // Opens FileName as the program's start does: a large JPEG is shown at
    // once from a reduced decoding and replaced by the whole picture, decoded
    // on a thread, when that is ready (saves and copies wait for it).
    void OpenFileInBackground(const QString& FileName);
    bool OpenPending() const;
    // Opens a dropped or pasted file or image the same way.
    void OpenOffered(const TOfferedPicture& Offered);
    // Puts the active page's picture (the composed picture and reflection,
    // full size with its transparency, or the label's picture as a save would
    // write it) on the clipboard as PNG. It is made and encoded away from the
    // window, which keeps answering meanwhile; Ctrl+V opens what the
    // clipboard holds.
    void CopyToClipboard();
    bool CopyPending() const;
    void PasteFromClipboard();
    // What the "Text" page's check boxes ask a save or copy to write.
    TLabelPictureOptions TextPictureOptions() const;

    // Saving runs on a thread of its own; the footer's status row shows its
    // progress, and Esc or its Cancel button stops it without a file.
    bool SavePending() const;
    void CancelSave();
    // Returns once no save runs (the window answering meanwhile).
    void WaitForSave();
    // The quality JPEG and WebP are saved at (100: JPEG's best, WebP
    // lossless) and the colour formats without alpha are flattened over.
    int SaveQuality = 100;
    QColor SaveBackground = Qt::white;

    // Ctrl+Z and Ctrl+Shift+Z: the reflection and style values of both
    // pages, the text and its font, one step per change (a slider's drag is
    // one step). Reset puts the stored layout's values back, as one step.
    void Undo();
    void Redo();
    void ResetValues();
    TWindowValues CurrentValues() const;

    // The size the active page's picture has when saved, as the status row
    // shows it ("6000 × 4051 pixels when saved"); empty without a picture.
    QSize OutputSize();

    TImageView* ImageView() const { return FImageView; }
    TStatusRow* StatusRow() const { return FStatusRow; }
    // The "Style" tool window (blur and squash of the active page's control).
    TStylePanel* StylePanel() const { return FStylePanel; }
    // "6000 × 4000 pixels, fitted to the page at 13 % (F for 100 %)".
    QString ViewInfo() const;

    void LayoutLoaded() override;

  protected:
    void closeEvent(QCloseEvent* Event) override;

  private:
    void FindComponents();
    void FindTextPageComponents();
    void SetUpTextPage();
    // The reflection control of the active page: the image control on page
    // 0, the text page's control on any other (none until that page has one).
    QObject* ActiveReflectionControl() const;
    void SliderChanged(TTrackBar* Slider, const char* Parameter, TLabel* ValueLabel);
    // The view, keys, drops and dialog settings a desktop image tool has.
    void SetUpWindow();
    // The "Style ..." button after the sliders and the tool window it opens;
    // the stored layout's components stay as they are.
    void SetUpStylePanel();
    // False when the picture could not be taken (and the user was told).
    bool TakePicture(const TCheckedPicture& Checked, const QString& Source);
    // The status row in the footer, the save's thread and the timer that
    // shows its progress.
    void SetUpStatusRow();
    void StartSave(const QString& FileName, ImageSaveFormat Format);
    void ShowSaveProgress();
    void ShowOutputSize();
    // The sliders reach what the active page's picture needs: its height for
    // the size, a tenth of it either way for the offset; never less than the
    // stored layout's ranges.
    void AdaptSliderRanges();
    // What "Save reflection as ..." suggests: NAME-reflection.png beside the
    // picture opened last.
    QString SuggestedSaveName() const;
    // Records the values as one step back, unless a slider is being dragged
    // (its release records the whole drag) or the values are being applied.
    void ValuesChanged();
    void ApplyValues(const TWindowValues& Values);
    bool SliderDragged() const;
    void SetUpHistory();
    // The "Reset" button after "Style ...".
    void SetUpResetButton(QWidget* After);

    TImageView* FImageView = nullptr;
    QLabel* FViewInfo = nullptr;
    TStylePanel* FStylePanel = nullptr;
    TClipboardCopy* FClipboardCopy = nullptr;
    // The folder of the last file opened or saved: both dialogs start there
    // for the rest of the run.
    QString FLastFolder;
    QString FOpenedName;
    bool FPictureOpened = false;
    TStatusRow* FStatusRow = nullptr;
    TBackgroundSave* FSave = nullptr;
    TQuickOpen* FQuickOpen = nullptr;
    QTimer* FSaveTimer = nullptr;
    QSize FSavingSize;
    int FSavingFrames = 0;         // the frames of the animation being saved
    bool FSavingAllFrames = false; // the format holds them all
    // What the running or last save left out of the picture's profile and
    // metadata; written by the save's thread, read once it has ended.
    std::shared_ptr<QStringList> FSaveWarnings = std::make_shared<QStringList>();
    QSize FCopySize;
    // The stored layout's slider ranges.
    int FStoredSizeMax = 0, FStoredAxisMax = 0, FStoredSizeTicks = 1, FStoredAxisTicks = 1,
        FStoredPageStep = 1;
    bool FLoadingSliders = false;
    TValueHistory FHistory;
    TWindowValues FStartValues;
    bool FHistoryReady = false;
    bool FApplyingValues = false;
};
