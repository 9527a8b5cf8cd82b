#include "markup/shell_icon_list.h"

#include "pictures/local_file_probe.h"
#include "pictures/picture_policy.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace ShellIconList
{
namespace
{

constexpr int SmallSide = 16;
constexpr int LargeSide = 32;
// As much of a file as the MIME database itself looks at to know its kind.
constexpr qsizetype KindBytes = 16 * 1024;

const QColor Outline(64, 64, 64);
const QColor Paper(255, 255, 255);
const QColor FolderYellow(240, 196, 64);
const QColor FolderShade(200, 150, 32);

// A sheet of paper with its top-right corner folded, in a 16-unit grid.
void DrawPage(QPainter& Painter)
{
    const QPolygonF sheet({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
    Painter.setPen(QPen(Outline, 0.8));
    Painter.setBrush(Paper);
    Painter.drawPolygon(sheet);
    Painter.drawPolyline(QPolygonF({{10, 1}, {10, 4}, {13, 4}}));
}

void DrawLines(QPainter& Painter, const QColor& Color, int Count)
{
    Painter.setPen(QPen(Color, 1));
    for (int i = 0; i < Count; ++i)
        Painter.drawLine(QPointF(5, 6.5 + 2 * i), QPointF(11, 6.5 + 2 * i));
}

void DrawFolder(QPainter& Painter, bool Open)
{
    Painter.setPen(QPen(Outline, 0.8));
    Painter.setBrush(FolderShade);
    Painter.drawPolygon(QPolygonF({{1, 3}, {6, 3}, {7, 5}, {15, 5}, {15, 14}, {1, 14}}));
    Painter.setBrush(FolderYellow);
    if (Open)
        Painter.drawPolygon(QPolygonF({{3, 7}, {16, 7}, {14, 14}, {1, 14}}));
    else
        Painter.drawRect(QRectF(1, 6, 14, 8));
}

// Archives and web pages: marks of what a file holds.
void DrawContainerMark(QPainter& Painter, int Index)
{
    switch (Index) {
    case iconArchive:
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(QColor(128, 96, 48));
        for (int i = 0; i < 5; ++i)
            Painter.drawRect(QRectF(i % 2 ? 8 : 7, 2 + 2 * i, 1, 1));
        Painter.drawRect(QRectF(6.5, 12, 3, 2));
        break;
    case iconWebPage:
        Painter.setPen(QPen(QColor(0, 112, 192), 0.9));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawEllipse(QPointF(8, 10), 3.5, 3.5);
        Painter.drawLine(QPointF(4.5, 10), QPointF(11.5, 10));
        Painter.drawEllipse(QPointF(8, 10), 1.5, 3.5);
        break;
    default:
        break;
    }
}

// The marks that tell the kinds of file apart, drawn on the page.
void DrawPageMark(QPainter& Painter, int Index)
{
    switch (Index) {
    case iconDocument:
        DrawLines(Painter, QColor(32, 96, 224), 4);
        break;
    case iconText:
        DrawLines(Painter, QColor(96, 96, 96), 4);
        break;
    case iconImage:
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(QColor(240, 160, 0));
        Painter.drawEllipse(QPointF(9.5, 7), 1.5, 1.5);
        Painter.setBrush(QColor(32, 160, 64));
        Painter.drawPolygon(QPolygonF({{4, 14}, {7, 9}, {10, 14}}));
        break;
    case iconAudio:
        Painter.setPen(QPen(QColor(160, 32, 160), 1));
        Painter.drawLine(QPointF(9.5, 6), QPointF(9.5, 12));
        Painter.setBrush(QColor(160, 32, 160));
        Painter.drawEllipse(QPointF(8, 12), 1.5, 1.2);
        break;
    case iconVideo:
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(QColor(48, 48, 48));
        Painter.drawRect(QRectF(4.5, 7, 7, 5));
        Painter.setBrush(Paper);
        Painter.drawPolygon(QPolygonF({{7, 8}, {10, 9.5}, {7, 11}}));
        break;
    default:
        DrawContainerMark(Painter, Index);
        break;
    }
}

void DrawIcon(QPainter& Painter, int Index)
{
    switch (Index) {
    case iconFolder:
    case iconFolderOpen:
        DrawFolder(Painter, Index == iconFolderOpen);
        return;
    case iconDrive:
        Painter.setPen(QPen(Outline, 0.8));
        Painter.setBrush(QColor(192, 192, 192));
        Painter.drawRoundedRect(QRectF(1, 5, 14, 7), 1.5, 1.5);
        Painter.setBrush(QColor(0, 192, 0));
        Painter.drawRect(QRectF(11, 9, 2, 1.5));
        return;
    case iconApplication:
        Painter.setPen(QPen(Outline, 0.8));
        Painter.setBrush(Paper);
        Painter.drawRect(QRectF(1, 2, 14, 12));
        Painter.setBrush(QColor(0, 64, 192));
        Painter.drawRect(QRectF(1, 2, 14, 3));
        return;
    default:
        break;
    }
    DrawPage(Painter);
    DrawPageMark(Painter, Index);
}

QImage RenderIcon(int Index, int Side)
{
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(Side / 16.0, Side / 16.0);
    DrawIcon(painter, Index);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

struct TIcons {
    std::array<QImage, StandardIconCount> Small;
    std::array<QImage, StandardIconCount> Large;
};

const TIcons& Icons()
{
    static const TIcons icons = [] {
        TIcons made;
        for (int i = 0; i < StandardIconCount; ++i) {
            made.Small[std::size_t(i)] = RenderIcon(i, SmallSide);
            made.Large[std::size_t(i)] = RenderIcon(i, LargeSide);
        }
        return made;
    }();
    return icons;
}

bool InheritsAny(const QMimeType& Type, std::initializer_list<const char*> Names)
{
    for (const char* name : Names)
        if (Type.inherits(QLatin1String(name)))
            return true;
    return false;
}

int IndexOfType(const QMimeType& Type)
{
    const QString name = Type.name();
    if (name.startsWith(QLatin1String("image/")))
        return iconImage;
    if (name.startsWith(QLatin1String("audio/")))
        return iconAudio;
    if (name.startsWith(QLatin1String("video/")))
        return iconVideo;
    if (InheritsAny(Type, {"text/html", "application/xhtml+xml"}))
        return iconWebPage;
    if (InheritsAny(Type, {"application/x-executable", "application/x-sharedlib", "application/x-msdownload",
                           "application/x-ms-dos-executable", "application/x-desktop"}))
        return iconApplication;
    if (InheritsAny(Type, {"application/zip", "application/x-tar", "application/gzip", "application/x-bzip",
                           "application/x-xz", "application/x-7z-compressed", "application/vnd.rar",
                           "application/x-compressed-tar"}))
        return iconArchive;
    if (InheritsAny(Type, {"application/pdf", "application/rtf", "application/msword",
                           "application/vnd.oasis.opendocument.text",
                           "application/vnd.openxmlformats-officedocument.wordprocessingml.document"}))
        return iconDocument;
    if (Type.inherits(QStringLiteral("text/plain")))
        return iconText;
    return iconFile;
}

} // namespace

int IconSize(bool Large)
{
    return Large ? LargeSide : SmallSide;
}

int Count()
{
    return StandardIconCount;
}

QImage Icon(int Index, bool Large)
{
    if (Index < 0 || Index >= StandardIconCount)
        return QImage();
    const TIcons& icons = Icons();
    return Large ? icons.Large[std::size_t(Index)] : icons.Small[std::size_t(Index)];
}

int IndexOf(const QString& Name, const TPicturePolicy& Policy)
{
    if (Name.isEmpty())
        return iconFile;
    const TLocalFileProbe probe = ProbeLocalFile(Policy, Name, KindBytes);
    if (probe.Kind == TLocalFileProbe::TKind::Folder)
        return iconFolder;
    static const QMimeDatabase database;
    // Only what the file's name tells, no file-system call: QFileInfo's
    // name is taken from the text.
    QString fileName = QFileInfo(Name).fileName();
    if (probe.Kind == TLocalFileProbe::TKind::RegularFile)
        return IndexOfType(database.mimeTypeForFileNameAndData(fileName, probe.Head));
    // An extension alone (".txt") names the kind of its files; the MIME
    // database takes it for a hidden file without one.
    if (fileName.startsWith(QLatin1Char('.')))
        fileName.prepend(QLatin1Char('x'));
    return IndexOfType(database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension));
}

int IndexOf(const QString& Name)
{
    return IndexOf(Name, TPicturePolicy{});
}

} // namespace ShellIconList
