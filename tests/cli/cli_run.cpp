#include "cli_run.h"

#include <QFile>
#include <QProcess>
#include <algorithm>

TCliRun RunCli(const QStringList& Arguments, const QString& WorkingDir, const QByteArray& Stdin)
{
    QProcess process;
    process.setProgram(QStringLiteral(LUMIVEX_BINARY_DIR "/cli/lumivex-cli"));
    process.setArguments(Arguments);
    if (!WorkingDir.isEmpty())
        process.setWorkingDirectory(WorkingDir);
    // The program must not depend on the caller's display settings.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start();
    TCliRun run;
    if (!process.waitForStarted(10000))
        return run;
    if (!Stdin.isEmpty())
        process.write(Stdin);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    run.Crashed = process.exitStatus() != QProcess::NormalExit;
    run.ExitCode = process.exitCode();
    run.Stdout = process.readAllStandardOutput();
    run.Stderr = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QImage SoftEdgedPicture(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int edge = std::min({x, y, Width - 1 - x, Height - 1 - y});
            const int alpha = edge >= 8 ? 255 : edge * 32;
            image.setPixel(x, y, qRgba(x * 255 / Width, y * 255 / Height, (x + y) % 256, alpha));
        }
    return image;
}

QByteArray ReadAll(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString SniffFormat(const QByteArray& Bytes)
{
    if (Bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (Bytes.startsWith("\xff\xd8\xff"))
        return QStringLiteral("jpeg");
    if (Bytes.startsWith("GIF87a") || Bytes.startsWith("GIF89a"))
        return QStringLiteral("gif");
    if (Bytes.startsWith("BM"))
        return QStringLiteral("bmp");
    if (Bytes.startsWith("II*") || Bytes.startsWith(QByteArray("MM\0*", 4)))
        return QStringLiteral("tiff");
    return {};
}
