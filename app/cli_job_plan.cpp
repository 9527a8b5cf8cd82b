#include "app/cli_job_plan.h"

#include "app/cli_options.h"
#include "imaging/saving/save_format_choice.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace
{
const QString StandardStream = QStringLiteral("-");

QString Canonical(const QString& Path)
{
    return QDir::cleanPath(QFileInfo(Path).absoluteFilePath());
}

// Two workers writing one file, or one worker replacing a file that another
// is still reading, would lose a picture; such jobs are refused up front.
void RefuseConflicts(std::vector<TImageJob>& Jobs)
{
    QHash<QString, qsizetype> inputs;
    for (qsizetype i = 0; i < qsizetype(Jobs.size()); ++i)
        if (Jobs[i].Input != StandardStream)
            inputs.insert(Canonical(Jobs[i].Input), i);

    QHash<QString, qsizetype> outputs;
    for (qsizetype i = 0; i < qsizetype(Jobs.size()); ++i) {
        TImageJob& job = Jobs[i];
        if (job.Output == StandardStream)
            continue;
        const QString output = Canonical(job.Output);
        const auto earlier = outputs.constFind(output);
        if (earlier != outputs.constEnd()) {
            job.Refusal = QStringLiteral("its output %1 is already the output of %2")
                              .arg(job.Output, Jobs[*earlier].Input);
            continue;
        }
        const auto reader = inputs.constFind(output);
        if (reader != inputs.constEnd() && *reader != i && Jobs.size() > 1) {
            job.Refusal = QStringLiteral("its output %1 would replace the input %2 of this batch")
                              .arg(job.Output, Jobs[*reader].Input);
            continue;
        }
        outputs.insert(output, i);
    }
}
} // namespace

ImageSaveFormat SaveFormatFromOption(const QString& Option)
{
    const QString format = Option.toLower();
    if (format == QLatin1String("jpg") || format == QLatin1String("jpeg"))
        return ImageSaveFormat::Jpeg;
    if (format == QLatin1String("gif"))
        return ImageSaveFormat::Gif;
    if (format == QLatin1String("bmp"))
        return ImageSaveFormat::Bmp;
    if (format == QLatin1String("tiff") || format == QLatin1String("tif"))
        return ImageSaveFormat::Tiff;
    return ImageSaveFormat::Png;
}

QString ExtensionOfSaveFormat(ImageSaveFormat Format)
{
    switch (Format) {
    case ImageSaveFormat::Jpeg:
        return QStringLiteral("jpg");
    case ImageSaveFormat::Gif:
        return QStringLiteral("gif");
    case ImageSaveFormat::Bmp:
        return QStringLiteral("bmp");
    case ImageSaveFormat::Tiff:
        return QStringLiteral("tif");
    case ImageSaveFormat::Png:
        break;
    }
    return QStringLiteral("png");
}

QString ReflectionFileName(const QString& Input, ImageSaveFormat Format)
{
    const QString name =
        Input == StandardStream ? QStringLiteral("stdin") : QFileInfo(Input).completeBaseName();
    return QStringLiteral("%1-reflection.%2")
        .arg(name.isEmpty() ? QStringLiteral("image") : name, ExtensionOfSaveFormat(Format));
}

std::vector<TImageJob> PlanImageJobs(const TImageCommandOptions& Options)
{
    const bool formatGiven = !Options.Format.isEmpty();
    const ImageSaveFormat optionFormat = SaveFormatFromOption(Options.Format);

    std::vector<TImageJob> jobs;
    jobs.reserve(std::size_t(Options.Inputs.size()));
    for (const QString& input : Options.Inputs) {
        TImageJob job;
        job.Input = input;
        job.Size = Options.Size;
        job.Start = Options.Start;
        job.End = Options.End;
        job.Axis = Options.Axis;
        job.Lenient = Options.Lenient;
        if (!Options.Output.isEmpty()) {
            job.Output = Options.Output;
            job.Format = formatGiven ? optionFormat : SaveFormatFromFileName(Options.Output);
        } else {
            job.Format = optionFormat;
            const QString name = ReflectionFileName(input, job.Format);
            if (!Options.OutputDir.isEmpty())
                job.Output = QDir(Options.OutputDir).filePath(name);
            else if (input == StandardStream)
                job.Output = StandardStream;
            else if (const QString folder = QFileInfo(input).path(); folder != QLatin1String("."))
                job.Output = QDir(folder).filePath(name);
            else
                job.Output = name;
        }
        jobs.push_back(std::move(job));
    }
    RefuseConflicts(jobs);
    return jobs;
}
