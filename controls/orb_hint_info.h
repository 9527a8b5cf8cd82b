#pragma once

#include "imaging/gdip_picture.h"
#include "toolkit/persistent.h"
#include "toolkit/strings.h"

#include <QString>
#include <memory>

// The content of a rich hint carried by the reflection image control: a
// title, lines of notes, a picture and whether a help line is shown. Nothing
// displays it; it is stored with the layout, read back and copied.
class TOrbHintInfo : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(TStrings* Notes READ Notes WRITE SetNotes)
    Q_PROPERTY(TGDIPPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool ShowHelp READ ShowHelp WRITE SetShowHelp)
  public:
    explicit TOrbHintInfo(QObject* Parent = nullptr);
    ~TOrbHintInfo() override;

    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    Q_INVOKABLE bool IsTitleStored() const { return !FTitle.isEmpty(); }

    // The setters copy into the objects this hint keeps; it never takes over
    // or shares the given ones.
    TStrings* Notes() const { return FNotes.get(); }
    void SetNotes(TStrings* Value);
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value);

    bool ShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool Value) { FShowHelp = Value; }
    Q_INVOKABLE bool IsShowHelpStored() const { return FShowHelp; }

    // Texts for wide-character display; never stored.
    QString WideTitle() const { return FWideTitle; }
    void SetWideTitle(const QString& Value) { FWideTitle = Value; }
    QString WideNotes() const { return FWideNotes; }
    void SetWideNotes(const QString& Value) { FWideNotes = Value; }

    // Copies everything from another hint information; any other source
    // (or none) changes nothing.
    void CopyFrom(const TPersistent* Source) override;

  private:
    std::unique_ptr<TStrings> FNotes;
    std::unique_ptr<TGDIPPicture> FPicture;
    QString FTitle;
    bool FShowHelp = false;
    QString FWideTitle;
    QString FWideNotes;
};
