#include "toolkit/widgets/user_interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStringList>
#include <QUrl>

namespace
{
std::unique_ptr<TUserInteraction>& Installed()
{
    static std::unique_ptr<TUserInteraction> interaction;
    return interaction;
}

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

// "jpg" for "JPEG files (*.jpg) (*.JPG *.jpg)": the extension of the first
// plain "*.ext" pattern of a Qt name filter, lower case; empty for "*".
QString FirstPatternSuffix(const QString& NameFilter)
{
    const qsizetype open = NameFilter.lastIndexOf(u'(');
    const QString patterns = NameFilter.mid(open + 1).chopped(NameFilter.endsWith(u')') ? 1 : 0);
    for (const QString& pattern : patterns.split(u' ', Qt::SkipEmptyParts))
        if (pattern.startsWith(QStringLiteral("*.")) && pattern.indexOf(u'*', 1) < 0 && pattern.size() > 2)
            return pattern.mid(2).toLower();
    return QString();
}
} // namespace

QUrl AddressToUrl(const QString& Address)
{
    const QString trimmed = Address.trimmed();
    // The decision is the text's alone: with a scheme it is an address, and no
    // file of the working folder (a folder "http:" holding "x") can make
    // "http://x" open something local.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(trimmed).hasMatch() || trimmed.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return QUrl(trimmed, QUrl::TolerantMode);
    if (QFileInfo::exists(trimmed))
        return QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
    return QUrl::fromUserInput(trimmed);
}

QString FilterToNameFilters(const QString& Filter)
{
    const QStringList parts = Filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            for (const QString& variant :
                 {pattern.trimmed(), pattern.trimmed().toUpper(), pattern.trimmed().toLower()})
                if (!variant.isEmpty() && !patterns.contains(variant))
                    patterns << variant;
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> TDesktopInteraction::OpenFileName(const QString& Title, const QString& Filter,
                                                         const QString& InitialName)
{
    int filterIndex = 1;
    return OpenFileNameAndFilter(Title, Filter, InitialName, filterIndex);
}

std::optional<QString> TDesktopInteraction::OpenFileNameAndFilter(const QString& Title, const QString& Filter,
                                                                  const QString& InitialName,
                                                                  int& FilterIndex)
{
    const QStringList nameFilters =
        FilterToNameFilters(Filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    QString selected =
        FilterIndex >= 1 && FilterIndex <= nameFilters.size() ? nameFilters[FilterIndex - 1] : QString();
    const QString name = QFileDialog::getOpenFileName(DialogParent(), Title, InitialName,
                                                      nameFilters.join(QStringLiteral(";;")), &selected,
                                                      QFileDialog::HideNameFilterDetails);
    if (name.isEmpty())
        return std::nullopt;
    if (const qsizetype chosen = nameFilters.indexOf(selected); chosen >= 0)
        FilterIndex = int(chosen) + 1;
    return name;
}

std::optional<QString> TDesktopInteraction::SaveFileName(const QString& Title, const QString& Filter,
                                                         const QString& InitialName,
                                                         const QString& DefaultExt, bool ConfirmOverwrite)
{
    int filterIndex = 1;
    return SaveFileNameAndFilter(Title, Filter, InitialName, DefaultExt, ConfirmOverwrite, filterIndex);
}

std::optional<QString> TDesktopInteraction::SaveFileNameAndFilter(const QString& Title, const QString& Filter,
                                                                  const QString& InitialName,
                                                                  const QString& DefaultExt,
                                                                  bool ConfirmOverwrite, int& FilterIndex)
{
    const QStringList nameFilters =
        FilterToNameFilters(Filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    QFileDialog dialog(DialogParent(), Title, InitialName);
    dialog.setNameFilters(nameFilters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DefaultExt);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !ConfirmOverwrite);
    // A typed name without an extension gets the selected entry's, as the
    // classic dialogs did, so the name and the chosen entry agree.
    if (!DefaultExt.isEmpty())
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& Selected) {
            if (const QString suffix = FirstPatternSuffix(Selected); !suffix.isEmpty())
                dialog.setDefaultSuffix(suffix);
        });
    if (FilterIndex >= 1 && FilterIndex <= nameFilters.size()) {
        dialog.selectNameFilter(nameFilters[FilterIndex - 1]);
        if (const QString suffix = FirstPatternSuffix(nameFilters[FilterIndex - 1]);
            !DefaultExt.isEmpty() && !suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (const qsizetype chosen = nameFilters.indexOf(dialog.selectedNameFilter()); chosen >= 0)
        FilterIndex = int(chosen) + 1;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> TDesktopInteraction::ChooseFont(const QFont& Initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, Initial, DialogParent());
    if (!accepted)
        return std::nullopt;
    return font;
}

std::optional<TSaveChoices> TDesktopInteraction::ChooseSaveOptions(const QString& FileName,
                                                                   const QString& FormatName,
                                                                   const TSaveChoices& Initial)
{
    QDialog dialog(DialogParent());
    dialog.setWindowTitle(QStringLiteral("%1 options").arg(FormatName));
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QStringLiteral("Saving \"%1\"").arg(QFileInfo(FileName).fileName())));
    TSaveChoices choices = Initial;
    QSpinBox* quality = nullptr;
    if (Initial.HasQuality) {
        quality = new QSpinBox(&dialog);
        quality->setRange(1, 100);
        quality->setValue(Initial.Quality);
        quality->setSuffix(QStringLiteral(" %"));
        quality->setToolTip(QStringLiteral("100: JPEG at its finest, WebP lossless; lower: smaller files"));
        form->addRow(QStringLiteral("&Quality:"), quality);
    }
    if (Initial.HasBackground) {
        auto* background = new QPushButton(&dialog);
        const auto show = [background](const QColor& Colour) {
            QPixmap swatch(32, 14);
            swatch.fill(Colour);
            background->setIcon(QIcon(swatch));
            background->setText(Colour.name());
        };
        show(choices.Background);
        QObject::connect(background, &QPushButton::clicked, &dialog, [&choices, show, &dialog] {
            const QColor colour = QColorDialog::getColor(choices.Background, &dialog);
            if (colour.isValid()) {
                choices.Background = colour;
                show(colour);
            }
        });
        form->addRow(QStringLiteral("&Background:"), background);
        form->addRow(
            new QLabel(QStringLiteral("The format has no transparency: the fade is laid on this colour.")));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (quality)
        choices.Quality = quality->value();
    return choices;
}

std::optional<QColor> TDesktopInteraction::ChooseColor(const QColor& Initial)
{
    const QColor color = QColorDialog::getColor(Initial, DialogParent());
    if (!color.isValid())
        return std::nullopt;
    return color;
}

bool TDesktopInteraction::OpenUrl(const QString& Address)
{
    return QDesktopServices::openUrl(AddressToUrl(Address));
}

void TDesktopInteraction::ShowMessage(const QString& Title, const QString& Text)
{
    QMessageBox::warning(DialogParent(), Title, Text);
}

bool TDesktopInteraction::Confirm(const QString& Title, const QString& Text)
{
    return QMessageBox::question(DialogParent(), Title, Text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

TUserInteraction& UserInteraction()
{
    std::unique_ptr<TUserInteraction>& installed = Installed();
    if (!installed)
        installed = std::make_unique<TDesktopInteraction>();
    return *installed;
}

std::unique_ptr<TUserInteraction> SetUserInteraction(std::unique_ptr<TUserInteraction> Interaction)
{
    std::unique_ptr<TUserInteraction> previous = std::move(Installed());
    Installed() = std::move(Interaction);
    return previous;
}
