#include "app/main_form.h"

#include "app/background_save.h"
#include "app/busy_cursor.h"
#include "app/checkerboard.h"
#include "app/clipboard_copy.h"
#include "app/file_drop.h"
#include "app/image_view.h"
#include "app/open_check.h"
#include "app/preview_prefetch.h"
#include "app/quick_open.h"
#include "app/resize_hook.h"
#include "app/save_bytes.h"
#include "app/status_row.h"
#include "app/style_panel.h"
#include "app/window_keys.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "imaging/codecs/heif_decoding.h"
#include "imaging/gdip_picture.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_format_from_name.h"
#include "imaging/saving/save_formats.h"
#include "markup/label/label_rendering.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/open_dialog.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/save_dialog.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"
#include "toolkit/widgets/user_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <optional>
#include <utility>

namespace
{
const QString MessageTitle = QStringLiteral("Lumivex");

QByteArray CompiledLayout()
{
    QFile resource(QStringLiteral(":/rcdata/TFORM2"));
    if (!resource.open(QIODevice::ReadOnly))
        throw ELayoutError("The main window's layout is missing from the program");
    return resource.readAll();
}

// Every failure reads alike: "Could not save "name": reason". Saving's
// reasons name the file they were writing, as the command line's lines need;
// here the name comes first, so inside the reason it becomes "it".
QString FailureText(const QString& Action, const QString& FileName, const QString& Reason)
{
    QString reason = Reason.isEmpty() ? QStringLiteral("unknown reason") : Reason;
    if (!FileName.isEmpty())
        reason.replace(FileName, QStringLiteral("it"));
    return QStringLiteral("Could not %1 \"%2\": %3").arg(Action, FileName, reason);
}

// One entry per save format, in the format table's order (PNG first), with
// every extension that names it: "JPEG files (*.jpg *.jpeg *.jpe)". A format
// added to the table appears here by itself.
QString SaveFilter()
{
    QStringList entries;
    for (const TSaveFormatInfo& format : SaveFormats()) {
        QStringList patterns{QStringLiteral("*.") + QLatin1String(format.Extension)};
        const QString others =
            format.OtherExtensions ? QString::fromLatin1(format.OtherExtensions) : QString();
        for (const QString& other : others.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            patterns << QStringLiteral("*.") + other;
        const QString name = QString::fromLatin1(format.MimeType).section(QLatin1Char('/'), 1).toUpper();
        entries << QStringLiteral("%1 files (%2)|%3")
                       .arg(name, patterns.join(QLatin1Char(' ')), patterns.join(QLatin1Char(';')));
    }
    return entries.join(QLatin1Char('|'));
}

// "Images" lists what the readers of this installation decode.
QString OpenFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    for (const QString& suffix : HeifFileSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    return QStringLiteral("Images|%1|All files|*").arg(patterns.join(QLatin1Char(';')));
}

// The format of the save filter's entry Index (from 1): its first pattern
// names it; PNG when the entry names none.
ImageSaveFormat FormatOfFilterEntry(const QString& Filter, int Index)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    const qsizetype patterns = 2 * qsizetype(Index - 1) + 1;
    if (Index < 1 || patterns >= parts.size())
        return ImageSaveFormat::Png;
    const QString first = parts[patterns].section(QLatin1Char(';'), 0, 0).trimmed();
    return SaveFormatOfName(first).value_or(ImageSaveFormat::Png);
}

// Where a file dialog starts: in Folder, with the name it chose last time
// when that name lies there or, for a save, is to be suggested anyway.
QString StartName(const QString& Previous, const QString& Folder, bool SuggestName)
{
    if (Folder.isEmpty() || (!Previous.isEmpty() && QFileInfo(Previous).absolutePath() == Folder))
        return Previous;
    const QString name = SuggestName && !Previous.isEmpty() ? QFileInfo(Previous).fileName() : QString();
    return Folder + QLatin1Char('/') + name;
}

template <class T> T* Component(const QObject* Root, const char* Name)
{
    T* found = Root->findChild<T*>(QString::fromLatin1(Name));
    if (!found)
        throw ELayoutError(std::string("The main window's layout has no ") + Name);
    return found;
}
} // namespace

TForm2::TForm2(QWidget* Parent) : TForm2(CompiledLayout(), Parent) {}

TForm2::TForm2(const QByteArray& Layout, QWidget* Parent) : TForm(Parent)
{
    CreateFromLayout(Layout);
}

void TForm2::LayoutLoaded()
{
    TForm::LayoutLoaded();
    // Every component exists once the reader calls this, and FormCreate only
    // runs afterwards, so the handlers always find their members set.
    FindComponents();
}

void TForm2::FindComponents()
{
    Panel1 = Component<TPanel>(this, "Panel1");
    Button1 = Component<TButton>(this, "Button1");
    OpenDialog1 = Component<TOpenDialog>(this, "OpenDialog1");
    SaveDialog1 = Component<TSaveDialog>(this, "SaveDialog1");
    TrackBar1 = Component<TTrackBar>(this, "TrackBar1");
    Label1 = Component<TLabel>(this, "Label1");
    Label2 = Component<TLabel>(this, "Label2");
    TrackBar2 = Component<TTrackBar>(this, "TrackBar2");
    TrackBar3 = Component<TTrackBar>(this, "TrackBar3");
    Label3 = Component<TLabel>(this, "Label3");
    Label4 = Component<TLabel>(this, "Label4");
    Label5 = Component<TLabel>(this, "Label5");
    Label6 = Component<TLabel>(this, "Label6");
    PageControl1 = Component<TPageControl>(this, "PageControl1");
    TabSheet1 = Component<TTabSheet>(this, "TabSheet1");
    TabSheet2 = Component<TTabSheet>(this, "TabSheet2");
    OrbReflectionImage1 = Component<TOrbReflectionImage>(this, "OrbReflectionImage1");
    Button2 = Component<TButton>(this, "Button2");
    Label8 = Component<TLabel>(this, "Label8");
    Label9 = Component<TLabel>(this, "Label9");
    TrackBar4 = Component<TTrackBar>(this, "TrackBar4");
    Panel2 = Component<TPanel>(this, "Panel2");
    Label10 = Component<TLabel>(this, "Label10");
    Label11 = Component<TLabel>(this, "Label11");
    FindTextPageComponents();
}

QObject* TForm2::ActiveReflectionControl() const
{
    if (PageControl1->ActivePageIndex() == 0)
        return OrbReflectionImage1;
    return OrbReflectionLabel1;
}

void TForm2::FormCreate(QObject*)
{
    LoadSliders();
    SetUpWindow();
}

void TForm2::SetUpWindow()
{
    // The four sliders and their captions are never cut off.
    setMinimumSize(800, 320);
    // The layout's dialogs list only; these make them behave as users expect:
    // every readable format offered, a replaced file asked about first, and
    // a bare name given the extension of the chosen filter entry.
    OpenDialog1->SetFilter(OpenFilter());
    SaveDialog1->SetFilter(SaveFilter());
    SaveDialog1->SetOptions(SaveDialog1->Options() | ofOverwritePrompt);
    SaveDialog1->SetDefaultExt(QStringLiteral("png"));
    Button1->Button()->setText(QStringLiteral("&Save reflection as ..."));
    Button2->Button()->setText(QStringLiteral("&Open image"));

    FImageView = new TImageView(OrbReflectionImage1, TabSheet1);
    FViewInfo = new QLabel(TabSheet1);
    FViewInfo->move(Button2->x() + Button2->width() + 12, Button2->y() + 6);
    SetUpTextPage();
    SetUpStatusRow();
    FQuickOpen = new TQuickOpen(this);
    FQuickOpen->OnDecoded = [this](TCheckedPicture Checked, const QString& FileName) {
        if (TakePicture(Checked, FileName)) {
            FLastFolder = QFileInfo(FileName).absolutePath();
            FOpenedName = QFileInfo(FileName).absoluteFilePath();
        } else {
            FImageView->SetPreview(QImage(), QSize());
        }
    };
    FImageView->OnPreviewPainted = [this] { FQuickOpen->Release(); };
    FClipboardCopy = new TClipboardCopy(this);
    FClipboardCopy->OnFailed = [this](const QString& Reason) {
        FStatusRow->ShowMessage(QStringLiteral("Could not copy"));
        UserInteraction().ShowMessage(MessageTitle, QStringLiteral("Could not copy: %1").arg(Reason));
    };
    FClipboardCopy->OnCopied = [this] {
        FStatusRow->ShowMessage(
            QStringLiteral("Copied %1 × %2").arg(FCopySize.width()).arg(FCopySize.height()));
    };
    FImageView->OnViewChanged = [this] {
        FViewInfo->setText(ViewInfo());
        FViewInfo->adjustSize();
    };
    FImageView->Refresh();

    auto* drop = new TFileDrop(this);
    drop->OnDrop = [this](const TOfferedPicture& Offered) { OpenOffered(Offered); };
    TWindowKeyActions keys;
    keys.Open = [this] { Button2Click(Button2); };
    keys.Save = [this] { Button1Click(Button1); };
    keys.Quit = [this] { close(); };
    keys.Cancel = [this] { CancelSave(); };
    keys.Undo = [this] { Undo(); };
    keys.Redo = [this] { Redo(); };
    keys.Copy = [this] { CopyToClipboard(); };
    keys.Paste = [this] { PasteFromClipboard(); };
    keys.ToggleFit = [this] { FImageView->SetFitted(!FImageView->Fitted()); };
    keys.ActualSize = [this] { FImageView->SetFitted(false); };
    keys.FitToPage = [this] { FImageView->SetFitted(true); };
    InstallWindowKeys(this, keys);
    SetUpStylePanel();
    SetUpHistory();
    ShowOutputSize();
}

void TForm2::SetUpStylePanel()
{
    FStylePanel = new TStylePanel(this);
    FStylePanel->ActiveControl = [this] { return ActiveReflectionControl(); };
    const QRect lastSlider = TrackBar4->geometry();
    QWidget* button = AddStyleButton(Panel1, QPoint(lastSlider.right() + 8, Button1->y()), FStylePanel);
    setMinimumWidth(std::max(minimumWidth(), button->geometry().right() + 8));
    FStylePanel->OnChange = [this](QObject* Control) {
        if (FImageView && Control == OrbReflectionImage1)
            FImageView->Refresh();
        ValuesChanged();
    };
    SetUpResetButton(button);
}

QString TForm2::ViewInfo() const
{
    QString view = QStringLiteral("100 % (F to fit)");
    if (FImageView && FImageView->Fitted()) {
        const double percent = FImageView->Scale() * 100;
        // A picture that fits as it is is not shrunk: there is no 100 % to
        // switch to. One just below shows the decimal rather than "100 %".
        if (FImageView->Scale() >= 1.0)
            view = QStringLiteral("100 %, fits the page");
        else
            view = QStringLiteral("fitted to the page at %1 % (F for 100 %)")
                       .arg(percent >= 99.5 ? QString::number(std::floor(percent * 10) / 10, 'f', 1)
                                            : QString::number(qRound(percent)));
    }
    const QSize picture = FImageView ? FImageView->PictureSize() : QSize();
    if (picture.isEmpty())
        return view;
    return QStringLiteral("%1 × %2 pixels, %3").arg(picture.width()).arg(picture.height()).arg(view);
}

void TForm2::PageControl1Change(QObject*)
{
    LoadSliders();
    ShowOutputSize();
}

void TForm2::LoadSliders()
{
    QObject* control = ActiveReflectionControl();
    if (!control)
        return;
    AdaptSliderRanges();
    // Each slider clamps; only a real change of position runs its handler,
    // which writes the clamped value back to the same control.
    TrackBar1->SetPosition(control->property("ReflectionSize").toInt());
    TrackBar2->SetPosition(control->property("ReflectionOpacityStart").toInt());
    TrackBar3->SetPosition(control->property("ReflectionOpacityEnd").toInt());
    TrackBar4->SetPosition(control->property("ReflectionAxis").toInt());
    // A thumb a narrowed range already moved ran no handler: its clamped
    // value goes back to the control here.
    const std::pair<TTrackBar*, const char*> sliders[] = {{TrackBar1, "ReflectionSize"},
                                                          {TrackBar2, "ReflectionOpacityStart"},
                                                          {TrackBar3, "ReflectionOpacityEnd"},
                                                          {TrackBar4, "ReflectionAxis"}};
    for (const auto& [slider, property] : sliders)
        if (control->property(property).toInt() != slider->Position()) {
            control->setProperty(property, slider->Position());
            if (FImageView && control == OrbReflectionImage1)
                FImageView->Refresh();
        }
    if (FStylePanel)
        FStylePanel->LoadFromControl();
}

void TForm2::SliderChanged(TTrackBar* Slider, const char* Parameter, TLabel* ValueLabel)
{
    ValueLabel->SetCaption(QString::number(Slider->Position()));
    // A range that shrinks for another page drags the thumb along; the
    // positions that follow are the page's own values.
    if (FLoadingSliders)
        return;
    QObject* control = ActiveReflectionControl();
    if (control)
        control->setProperty(Parameter, Slider->Position());
    if (FImageView && control == OrbReflectionImage1)
        FImageView->Refresh();
    ValuesChanged();
}

void TForm2::AdaptSliderRanges()
{
    if (FStoredSizeMax == 0) {
        FStoredSizeMax = TrackBar1->Max();
        FStoredAxisMax = std::max(std::abs(TrackBar4->Min()), TrackBar4->Max());
        FStoredSizeTicks = TrackBar1->Frequency();
        FStoredAxisTicks = TrackBar4->Frequency();
        FStoredPageStep = TrackBar1->Slider()->pageStep();
    }
    // The stored layout's picture keeps the stored ranges; a picture the
    // user opened, or the text page's text, may ask for more.
    int height = 0;
    if (PageControl1->ActivePageIndex() == 0) {
        TGDIPPicture* picture = OrbReflectionImage1->Picture();
        if (FPictureOpened && !picture->IsEmpty())
            height = picture->Height();
    } else if (OrbReflectionLabel1) {
        OrbReflectionLabel1->PaintSurface();
        height = OrbReflectionLabel1->MarkupHeight();
    }
    const int sizeMax = std::max(FStoredSizeMax, height);
    const int axisMax = std::max(FStoredAxisMax, (height + 9) / 10);
    const bool loading = std::exchange(FLoadingSliders, true);
    TrackBar1->SetMax(sizeMax);
    TrackBar1->SetFrequency(sizeMax == FStoredSizeMax ? FStoredSizeTicks : std::max(1, sizeMax / 25));
    // Page Up and Down cross a long range in twenty steps.
    TrackBar1->Slider()->setPageStep(sizeMax == FStoredSizeMax ? FStoredPageStep : std::max(1, sizeMax / 20));
    TrackBar4->SetMin(-axisMax);
    TrackBar4->SetMax(axisMax);
    TrackBar4->SetFrequency(axisMax == FStoredAxisMax ? FStoredAxisTicks : std::max(1, axisMax / 6));
    FLoadingSliders = loading;
}

void TForm2::TrackBar1Change(QObject*)
{
    SliderChanged(TrackBar1, "ReflectionSize", Label2);
}

void TForm2::TrackBar2Change(QObject*)
{
    SliderChanged(TrackBar2, "ReflectionOpacityStart", Label5);
}

void TForm2::TrackBar3Change(QObject*)
{
    SliderChanged(TrackBar3, "ReflectionOpacityEnd", Label6);
}

void TForm2::TrackBar4Change(QObject*)
{
    SliderChanged(TrackBar4, "ReflectionAxis", Label9);
}

void TForm2::Button1Click(QObject*)
{
    // One save at a time: a second one waits for the first to end, the
    // window answering meanwhile; a picture still being decoded is waited
    // for as well, as only the whole picture is saved.
    WaitForSave();
    FQuickOpen->Wait();
    const QString previous = SaveDialog1->FileName();
    SaveDialog1->SetFileName(previous.isEmpty() && !FOpenedName.isEmpty()
                                 ? SuggestedSaveName()
                                 : StartName(previous, FLastFolder, true));
    if (!SaveDialog1->Execute())
        return;
    // The name's own last extension decides; a name without a known one
    // gets the format of the filter entry the user left selected.
    const TSaveTarget target = SaveTargetFromName(
        SaveDialog1->FileName(), FormatOfFilterEntry(SaveDialog1->Filter(), SaveDialog1->FilterIndex()));
    // The dialog asked about the name it returned; one completed here with
    // an extension may name another file, which is not replaced unasked.
    if (target.FileName != SaveDialog1->FileName() && QFileInfo::exists(target.FileName) &&
        !UserInteraction().Confirm(MessageTitle,
                                   QStringLiteral("\"%1\" already exists. Replace it?").arg(target.FileName)))
        return;
    // JPEG and WebP have a quality; a picture whose fade would be flattened
    // is laid on a colour the user may choose (the text page's label on its
    // own colour).
    const TSaveFormatInfo* format = FindSaveFormat(target.Format);
    TSaveChoices choices;
    choices.HasQuality = target.Format == ImageSaveFormat::Jpeg || target.Format == ImageSaveFormat::Webp;
    choices.Quality = SaveQuality;
    choices.HasBackground = PageControl1->ActivePageIndex() == 0 && format && !format->KeepsAlpha;
    choices.Background = SaveBackground;
    if (choices.HasQuality || choices.HasBackground) {
        const std::optional<TSaveChoices> chosen = UserInteraction().ChooseSaveOptions(
            target.FileName,
            QString::fromLatin1(format ? format->MimeType : "").section(QLatin1Char('/'), 1).toUpper(),
            choices);
        if (!chosen)
            return;
        if (chosen->HasQuality)
            SaveQuality = chosen->Quality;
        if (chosen->HasBackground)
            SaveBackground = chosen->Background;
    }
    StartSave(target.FileName, target.Format);
}

QString TForm2::SuggestedSaveName() const
{
    const QFileInfo opened(FOpenedName);
    return opened.absolutePath() + QLatin1Char('/') + opened.completeBaseName() +
           QStringLiteral("-reflection.png");
}

void TForm2::StartSave(const QString& FileName, ImageSaveFormat Format)
{
    TBackgroundSave::TEncode encode;
    QString reason;
    if (PageControl1->ActivePageIndex() == 0) {
        TGDIPPicture* picture = OrbReflectionImage1->Picture();
        const QImage pixels = picture->IsEmpty() ? QImage() : picture->DecodedImage();
        if (picture->IsEmpty())
            reason = QStringLiteral("there is no picture to save");
        else if (pixels.isNull())
            reason = picture->LastError().isEmpty() ? QStringLiteral("the picture cannot be decoded")
                                                    : picture->LastError();
        const TReflectionParameters parameters = OrbReflectionImage1->ReflectionParameters();
        FSavingSize = ComposedSize(pixels.size(), parameters);
        // An animation is saved whole from its file where the format holds one.
        const QByteArray encoded = picture->EncodedData();
        FSavingFrames = AnimationFrames(encoded);
        FSavingAllFrames =
            FSavingFrames > 1 && FindSaveFormat(Format) && FindSaveFormat(Format)->HoldsAnimation;
        // The opened file's colour profile and metadata go with it, read
        // from its bytes when it was decoded.
        const TImagePackets packets = picture->IsEmpty() ? TImagePackets() : picture->Packets();
        // The thread shares the decoded picture and the packets read-only:
        // opening another one replaces the control's, never these. What it
        // leaves out is read here once the save has ended.
        encode = [pixels, encoded, all = FSavingAllFrames, parameters, packets, Format, quality = SaveQuality,
                  background = SaveBackground, warnings = FSaveWarnings](QString* Reason) {
            return all ? AnimationFileBytes(encoded, parameters, Format, quality, background, Reason)
                       : ReflectionFileBytes(pixels, parameters, Format, quality, background, Reason,
                                             &packets, warnings.get());
        };
    } else {
        // The label's picture is small: only its encoding goes to the thread.
        QImage picture;
        try {
            picture = OrbReflectionLabel1->SavedPicture(Format, TextPictureOptions(), &reason);
        } catch (const std::exception& error) {
            reason = QString::fromUtf8(error.what());
        }
        FSavingSize = picture.size();
        FSavingFrames = 0;
        encode = [picture, Format, quality = SaveQuality](QString* Reason) {
            return PictureFileBytes(picture, Format, quality, Reason);
        };
        if (picture.isNull() && reason.isEmpty())
            reason = QStringLiteral("there is no text to save");
    }
    if (!reason.isEmpty()) {
        UserInteraction().ShowMessage(MessageTitle, FailureText(QStringLiteral("save"), FileName, reason));
        return;
    }
    FSaveWarnings->clear();
    FSave->Start(FileName, std::move(encode));
    FStatusRow->ShowProgress(QStringLiteral("Saving %1…").arg(QFileInfo(FileName).fileName()));
    FSaveTimer->start();
}

void TForm2::SetUpStatusRow()
{
    // The row takes the footer's width right of the address.
    FStatusRow = new TStatusRow(Panel2);
    new TResizeHook(Panel2, [this] {
        const int left = Label11->geometry().right() + 24;
        FStatusRow->setGeometry(left, 0, std::max(0, Panel2->width() - left), Panel2->height());
    });
    FStatusRow->show();
    FStatusRow->OnCancel = [this] { CancelSave(); };
    QCheckBox* transparency = FStatusRow->TransparencyToggle();
    new TTransparencyPreview(OrbReflectionLabel1, [this, transparency] {
        return transparency->isChecked() && CheckBox2->isChecked();
    });
    const auto showTransparency = [this, transparency] {
        FImageView->SetCheckerboard(transparency->isChecked());
        OrbReflectionLabel1->update();
    };
    connect(transparency, &QCheckBox::toggled, this, showTransparency);
    connect(CheckBox2, &QCheckBox::toggled, this, showTransparency);
    FSave = new TBackgroundSave(this);
    FSaveTimer = new QTimer(this);
    FSaveTimer->setInterval(100);
    connect(FSaveTimer, &QTimer::timeout, this, [this] { ShowSaveProgress(); });
    const auto ended = [this] {
        FSaveTimer->stop();
        FStatusRow->HideProgress();
    };
    FSave->OnSaved = [this, ended](const QString& FileName, qint64 Size) {
        ended();
        FLastFolder = QFileInfo(FileName).absolutePath();
        QString line = QStringLiteral("%1 (%2 × %3, %4)")
                           .arg(QFileInfo(FileName).fileName())
                           .arg(FSavingSize.width())
                           .arg(FSavingSize.height())
                           .arg(QLocale::c().formattedDataSize(Size, 1, QLocale::DataSizeSIFormat));
        line = FSavingFrames < 2 ? QStringLiteral("Saved ") + line
               : FSavingAllFrames
                   ? QStringLiteral("Saved %1 frames in ").arg(FSavingFrames) + line
                   : QStringLiteral("Saved the first of %1 frames in ").arg(FSavingFrames) + line;
        // What of the picture's profile and metadata could not go in, as
        // the command line warns of it.
        if (!FSaveWarnings->isEmpty())
            line += QStringLiteral(" without %1").arg(FSaveWarnings->join(QStringLiteral("; ")));
        FStatusRow->ShowMessage(line);
    };
    FSave->OnFailed = [this, ended](const QString& FileName, const QString& Reason) {
        ended();
        FStatusRow->ShowMessage(QStringLiteral("Could not save %1").arg(QFileInfo(FileName).fileName()));
        UserInteraction().ShowMessage(MessageTitle, FailureText(QStringLiteral("save"), FileName, Reason));
    };
    FSave->OnCancelled = [this, ended](const QString& FileName) {
        ended();
        FStatusRow->ShowMessage(
            QStringLiteral("Saving %1 cancelled; nothing was written").arg(QFileInfo(FileName).fileName()));
    };
    // The palette's colour, so that a dark theme reaches the top bar and the
    // footer too.
    for (TPanel* panel : {Panel1, Panel2}) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
        panel->setPalette(palette);
    }
}

void TForm2::ShowSaveProgress()
{
    if (FSave->Running())
        FStatusRow->SetProgress(FSave->Done());
}

bool TForm2::SavePending() const
{
    return FSave && FSave->Running();
}

void TForm2::CancelSave()
{
    if (!SavePending())
        return;
    FStatusRow->ShowMessage(QStringLiteral("Cancelling…"));
    FSave->Cancel();
}

void TForm2::WaitForSave()
{
    if (FSave)
        FSave->Wait();
}

void TForm2::closeEvent(QCloseEvent* Event)
{
    if (SavePending()) {
        if (!UserInteraction().Confirm(MessageTitle,
                                       QStringLiteral("\"%1\" is still being saved. Stop saving and quit? "
                                                      "Nothing will be written.")
                                           .arg(QFileInfo(FSave->FileName()).fileName()))) {
            Event->ignore();
            return;
        }
        // Stopped now; the thread is waited for when the window goes, which
        // takes no longer than the encoder's next step.
        FSave->Cancel();
    }
    TForm::closeEvent(Event);
}

QSize TForm2::OutputSize()
{
    if (PageControl1->ActivePageIndex() == 0) {
        TGDIPPicture* picture = OrbReflectionImage1->Picture();
        if (picture->IsEmpty() || picture->Width() <= 0)
            return {};
        return ComposedSize(QSize(picture->Width(), picture->Height()),
                            OrbReflectionImage1->ReflectionParameters());
    }
    const TLabelPictureOptions options = TextPictureOptions();
    if (!options.Trim)
        return OrbReflectionLabel1->size();
    try {
        return OrbReflectionLabel1->Picture(options).size();
    } catch (const std::exception&) {
        return {};
    }
}

void TForm2::ShowOutputSize()
{
    if (!FStatusRow)
        return;
    const QSize size = OutputSize();
    FStatusRow->ShowOutputSize(
        size.isEmpty() ? QString()
                       : QStringLiteral("%1 × %2 pixels when saved").arg(size.width()).arg(size.height()));
}

void TForm2::Button2Click(QObject*)
{
    OpenDialog1->SetFileName(StartName(OpenDialog1->FileName(), FLastFolder, false));
    if (!OpenDialog1->Execute())
        return;
    OpenFile(OpenDialog1->FileName());
}

void TForm2::OpenFile(const QString& FileName)
{
    const TBusyCursor busy;
    if (TakePicture(CheckedPictureFromFile(FileName), FileName)) {
        FLastFolder = QFileInfo(FileName).absolutePath();
        FOpenedName = QFileInfo(FileName).absoluteFilePath();
    }
}

void TForm2::OpenFileInBackground(const QString& FileName)
{
    QSize fullSize;
    QByteArray icc;
    const QSize page = FImageView->viewport()->size() * FImageView->devicePixelRatio();
    QImage reduced = PreviewPrefetch::Take(FileName, page, &fullSize, &icc);
    if (reduced.isNull())
        reduced = TQuickOpen::ReducedPicture(FileName, page, &fullSize, &icc);
    if (reduced.isNull()) {
        OpenFile(FileName);
        return;
    }
    if (PageControl1->ActivePageIndex() != 0) {
        PageControl1->SetActivePageIndex(0);
        LoadSliders();
    }
    FImageView->SetPreview(reduced, fullSize, icc);
    // The whole decoding waits for the reduced picture's first paint, which
    // would otherwise share the cores with it.
    FQuickOpen->Start(FileName, true);
}

bool TForm2::OpenPending() const
{
    return FQuickOpen && FQuickOpen->Pending();
}

void TForm2::OpenOffered(const TOfferedPicture& Offered)
{
    if (!Offered.FileName.isEmpty()) {
        OpenFile(Offered.FileName);
        return;
    }
    const TBusyCursor busy;
    TakePicture(CheckedPictureFromImage(Offered.Image), QStringLiteral("the pasted picture"));
}

bool TForm2::TakePicture(const TCheckedPicture& Checked, const QString& Source)
{
    // Checked away from the control: a file that cannot be shown leaves the
    // picture and the sliders as they were.
    if (!Checked.Picture) {
        UserInteraction().ShowMessage(MessageTitle,
                                      FailureText(QStringLiteral("open"), Source, Checked.Reason));
        return false;
    }
    if (PageControl1->ActivePageIndex() != 0) {
        PageControl1->SetActivePageIndex(0);
        LoadSliders();
    }
    FImageView->SetPreview(QImage(), QSize());
    OrbReflectionImage1->SetPicture(Checked.Picture.get());
    FPictureOpened = true;
    // A value beyond a lower picture's range is brought into it, as loading
    // brings every value into its slider's.
    LoadSliders();
    FImageView->FitWhenLarger();
    ShowOutputSize();
    // A damaged file that still decoded in part is shown, and the user told.
    if (!Checked.Reason.isEmpty())
        UserInteraction().ShowMessage(MessageTitle,
                                      QStringLiteral("\"%1\" is damaged (%2); showing what could be read.")
                                          .arg(Source, Checked.Reason));
    return true;
}

void TForm2::CopyToClipboard()
{
    // Only the whole picture is copied.
    FQuickOpen->Wait();
    if (PageControl1->ActivePageIndex() != 0) {
        // The label's picture is small; only its encoding waits for the thread.
        QString reason;
        QImage picture;
        try {
            picture = OrbReflectionLabel1->Picture(TextPictureOptions(), &reason);
        } catch (const std::exception& error) {
            reason = QString::fromUtf8(error.what());
        }
        if (picture.isNull()) {
            UserInteraction().ShowMessage(MessageTitle, QStringLiteral("Could not copy: %1").arg(reason));
            return;
        }
        FCopySize = picture.size();
        FStatusRow->ShowMessage(QStringLiteral("Copying…"));
        FClipboardCopy->Start([picture](QString* Reason) { return TClipboardCopy::PngOf(picture, Reason); });
        return;
    }
    TGDIPPicture* picture = OrbReflectionImage1->Picture();
    const QImage pixels = picture->IsEmpty() ? QImage() : picture->DecodedImage();
    if (pixels.isNull()) {
        UserInteraction().ShowMessage(MessageTitle,
                                      QStringLiteral("Could not copy: there is no picture to copy"));
        return;
    }
    // Composed and encoded band by band on the copy's thread, as a save
    // writes it: no full-size composed copy, and the window keeps answering.
    FCopySize = ComposedSize(pixels.size(), OrbReflectionImage1->ReflectionParameters());
    FStatusRow->ShowMessage(QStringLiteral("Copying…"));
    // The colour profile goes along, so that a program that pastes it shows
    // the colours the window shows; the metadata stay with saved files.
    TPngEncodeOptions options = TClipboardCopy::FastPngOptions();
    TImagePackets profile;
    profile.Icc = picture->Packets().Icc;
    profile.Srgb = picture->Packets().Srgb;
    options.ExtraChunks = PngPacketChunks(profile);
    FClipboardCopy->Start(
        [pixels, parameters = OrbReflectionImage1->ReflectionParameters(), options](QString* Reason) {
            return EncodeReflectionPng(pixels, parameters, Reason, options);
        });
}

bool TForm2::CopyPending() const
{
    return FClipboardCopy && FClipboardCopy->Pending();
}

void TForm2::PasteFromClipboard()
{
    const TOfferedPicture offered = PictureOffered(QApplication::clipboard()->mimeData());
    if (offered.IsEmpty()) {
        UserInteraction().ShowMessage(MessageTitle,
                                      QStringLiteral("Could not paste: the clipboard holds no picture"));
        return;
    }
    OpenOffered(offered);
}

void TForm2::Label11Click(QObject*)
{
    UserInteraction().OpenUrl(Label11->Caption());
}
