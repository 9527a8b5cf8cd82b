#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

// What a save in a format with choices is asked: the quality (1..100, 100
// the format's best: JPEG's finest, WebP lossless) for formats that have one,
// and the colour a transparent picture is laid on for formats without alpha.
struct TSaveChoices {
    bool HasQuality = false;
    int Quality = 100;
    bool HasBackground = false;
    QColor Background = Qt::white;
};

// Everything the window asks of the user or of the desktop, in one place so
// that tests can install scripted answers. Dialog methods return nothing when
// the user cancels.
class TUserInteraction
{
  public:
    virtual ~TUserInteraction() = default;

    // Filter is in the classic form "Description|*.ext;*.ext2|Description|...".
    virtual std::optional<QString> OpenFileName(const QString& Title, const QString& Filter,
                                                const QString& InitialName) = 0;
    // The same, with the filter entry shown first and, afterwards, the one the
    // user left selected (from 1). Dialogs that know no filter selection
    // leave it as it was.
    virtual std::optional<QString> OpenFileNameAndFilter(const QString& Title, const QString& Filter,
                                                         const QString& InitialName, int& FilterIndex)
    {
        Q_UNUSED(FilterIndex);
        return OpenFileName(Title, Filter, InitialName);
    }
    // DefaultExt (without the dot) is appended to a typed name without an
    // extension when not empty; ConfirmOverwrite asks before replacing a file.
    virtual std::optional<QString> SaveFileName(const QString& Title, const QString& Filter,
                                                const QString& InitialName, const QString& DefaultExt,
                                                bool ConfirmOverwrite) = 0;
    // The same, with the filter shown first and the one the user left
    // selected: FilterIndex counts the filter's entries from 1. Dialogs that
    // know no filter selection leave it as it was.
    virtual std::optional<QString> SaveFileNameAndFilter(const QString& Title, const QString& Filter,
                                                         const QString& InitialName,
                                                         const QString& DefaultExt, bool ConfirmOverwrite,
                                                         int& FilterIndex)
    {
        Q_UNUSED(FilterIndex);
        return SaveFileName(Title, Filter, InitialName, DefaultExt, ConfirmOverwrite);
    }
    // Asks the choices Initial has for a save to FileName in FormatName
    // ("JPEG"); where nobody can be asked, Initial's values stand.
    virtual std::optional<TSaveChoices> ChooseSaveOptions(const QString& FileName, const QString& FormatName,
                                                          const TSaveChoices& Initial)
    {
        Q_UNUSED(FileName);
        Q_UNUSED(FormatName);
        return Initial;
    }
    virtual std::optional<QFont> ChooseFont(const QFont& Initial) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& Initial) = 0;
    // Hands a web or mail address (or file) to the desktop's default handler.
    virtual bool OpenUrl(const QString& Address) = 0;
    virtual void ShowMessage(const QString& Title, const QString& Text) = 0;
    // Asks a yes-or-no question; true for yes. Where nobody can be asked, the
    // answer is no, so nothing is replaced unasked.
    virtual bool Confirm(const QString& Title, const QString& Text)
    {
        Q_UNUSED(Title);
        Q_UNUSED(Text);
        return false;
    }
};

// The real dialogs and desktop services.
class TDesktopInteraction : public TUserInteraction
{
  public:
    std::optional<QString> OpenFileName(const QString& Title, const QString& Filter,
                                        const QString& InitialName) override;
    std::optional<QString> OpenFileNameAndFilter(const QString& Title, const QString& Filter,
                                                 const QString& InitialName, int& FilterIndex) override;
    std::optional<QString> SaveFileName(const QString& Title, const QString& Filter,
                                        const QString& InitialName, const QString& DefaultExt,
                                        bool ConfirmOverwrite) override;
    std::optional<QString> SaveFileNameAndFilter(const QString& Title, const QString& Filter,
                                                 const QString& InitialName, const QString& DefaultExt,
                                                 bool ConfirmOverwrite, int& FilterIndex) override;
    std::optional<TSaveChoices> ChooseSaveOptions(const QString& FileName, const QString& FormatName,
                                                  const TSaveChoices& Initial) override;
    std::optional<QFont> ChooseFont(const QFont& Initial) override;
    std::optional<QColor> ChooseColor(const QColor& Initial) override;
    bool OpenUrl(const QString& Address) override;
    void ShowMessage(const QString& Title, const QString& Text) override;
    bool Confirm(const QString& Title, const QString& Text) override;
};

// The process-wide interaction; a TDesktopInteraction until replaced.
TUserInteraction& UserInteraction();
// Installs Interaction (nullptr restores the desktop one) and returns the
// previous one, so that a test can put it back.
std::unique_ptr<TUserInteraction> SetUserInteraction(std::unique_ptr<TUserInteraction> Interaction);

// What OpenUrl hands to the desktop for Address: a text with a scheme
// ("http://", "mailto:") as the URL it spells, decided from the text alone;
// an existing file by its path; anything else as a typed address.
QUrl AddressToUrl(const QString& Address);

// A classic filter as Qt name filters ("Description (patterns)" joined by
// ";;"). Patterns are matched without regard to letter case, so each one is
// offered in upper and lower case as well; the dialogs hide these generated
// pattern lists, so the user reads each description as written.
QString FilterToNameFilters(const QString& Filter);
