#include "cli/job_plan.h"

#include "cli/command_output.h"
#include "cli/image_options.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace
{
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

QString ReflectionFileName(const QString& Input, ImageSaveFormat Format)
{
    const QString name =
        Input == StandardStream ? QStringLiteral("stdin") : QFileInfo(Input).completeBaseName();
    const TSaveFormatInfo* format = FindSaveFormat(Format);
    return QStringLiteral("%1-reflection.%2")
        .arg(name.isEmpty() ? QStringLiteral("image") : name,
             QString::fromLatin1(format ? format->Extension : SaveFormats().front().Extension));
}

std::vector<TImageJob> PlanImageJobs(const TImageCommandOptions& Options)
{
    const ImageSaveFormat optionFormat = Options.Format.value_or(ImageSaveFormat::Png);

    std::vector<TImageJob> jobs;
    jobs.reserve(std::size_t(Options.Inputs.size()));
    for (const QString& input : Options.Inputs) {
        TImageJob job;
        job.Input = input;
        job.Reflection = Options.Reflection;
        job.Quality = Options.Quality;
        job.Lenient = Options.Lenient;
        job.Verbose = Options.Verbose;
        job.MaxPixels = Options.MaxPixels;
        if (!Options.Output.isEmpty()) {
            job.Output = Options.Output;
            job.Format = OutputFormat(Options.Format, Options.Output);
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
