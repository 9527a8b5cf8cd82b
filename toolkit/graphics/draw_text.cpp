#include "toolkit/graphics/draw_text.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/color.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/font_cell_metrics.h"

#include <QFontMetrics>
#include <QList>
#include <QPainter>
#include <cmath>

namespace
{

// One line as it is shown: the text with prefixes removed, and the positions
// of the characters to underline.
struct TTextLine {
    QString Text;
    QList<int> Underlined;
};

TTextLine StripPrefixes(const QString& Raw, bool Prefixes)
{
    TTextLine line;
    if (!Prefixes) {
        line.Text = Raw;
        return line;
    }
    for (int i = 0; i < Raw.size(); ++i) {
        if (Raw[i] != QLatin1Char('&')) {
            line.Text += Raw[i];
            continue;
        }
        if (i + 1 >= Raw.size())
            break;
        ++i;
        if (Raw[i] != QLatin1Char('&'))
            line.Underlined << int(line.Text.size());
        line.Text += Raw[i];
    }
    return line;
}

class TTextMeasure
{
  public:
    TTextMeasure(const QFontMetrics& FontMetrics, bool Expand)
        : Metrics(FontMetrics), ExpandTabs(Expand), TabWidth(qMax(1, 8 * FontMetrics.averageCharWidth()))
    {
    }

    // Width of Text drawn from the start of a line.
    int Width(const QString& Text) const
    {
        if (!ExpandTabs || !Text.contains(QLatin1Char('\t')))
            return Metrics.horizontalAdvance(Text);
        int x = 0;
        for (const QString& piece : Pieces(Text)) {
            if (piece == QLatin1String("\t"))
                x = (x / TabWidth + 1) * TabWidth;
            else
                x += Metrics.horizontalAdvance(piece);
        }
        return x;
    }

    // Text cut into runs without tabs and single tabs.
    static QStringList Pieces(const QString& Text)
    {
        QStringList pieces;
        QString run;
        for (const QChar c : Text) {
            if (c == QLatin1Char('\t')) {
                if (!run.isEmpty())
                    pieces << run;
                pieces << QStringLiteral("\t");
                run.clear();
            } else {
                run += c;
            }
        }
        if (!run.isEmpty())
            pieces << run;
        return pieces;
    }

    const QFontMetrics& Metrics;
    const bool ExpandTabs;
    const int TabWidth;
};

// Greedy word wrapping: breaks after blanks; the blanks at a break are not
// drawn. A word wider than the limit keeps a line of its own.
QList<TTextLine> WrapLine(const TTextLine& Line, const TTextMeasure& Measure, int Limit)
{
    QList<TTextLine> lines;
    const QString& text = Line.Text;
    int start = 0;
    while (start < text.size()) {
        int end = start;  // end of the text accepted on this line
        int lastFit = -1; // end of the last word that fitted
        int scan = start;
        while (scan < text.size()) {
            int wordEnd = scan;
            while (wordEnd < text.size() && text[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            if (Measure.Width(text.mid(start, wordEnd - start)) > Limit && lastFit >= 0)
                break;
            lastFit = wordEnd;
            scan = wordEnd;
            while (scan < text.size() && text[scan] == QLatin1Char(' '))
                ++scan;
        }
        end = lastFit < 0 ? text.size() : lastFit;
        TTextLine piece;
        piece.Text = text.mid(start, end - start);
        for (int index : Line.Underlined)
            if (index >= start && index < end)
                piece.Underlined << index - start;
        lines << piece;
        start = end;
        while (start < text.size() && text[start] == QLatin1Char(' '))
            ++start;
    }
    if (lines.isEmpty())
        lines << TTextLine{};
    return lines;
}

void AddEllipsis(TTextLine& Line, const TTextMeasure& Measure, int Limit)
{
    if (Measure.Width(Line.Text) <= Limit)
        return;
    // The longest start of the text that fits with the dots, found by
    // doubling and then halving: a long line costs a few measurements of
    // about the kept length, not one per character dropped.
    const QString dots = QStringLiteral("...");
    const int length = int(Line.Text.size());
    const auto fits = [&](int Keep) { return Measure.Width(Line.Text.left(Keep) + dots) <= Limit; };
    int keep = 0;    // fits (or nothing does)
    int tooLong = 1; // the whole text never fits with the dots
    while (tooLong < length && fits(tooLong)) {
        keep = tooLong;
        tooLong *= 2;
    }
    tooLong = qMin(tooLong, length);
    while (tooLong - keep > 1) {
        const int middle = keep + (tooLong - keep) / 2;
        if (fits(middle))
            keep = middle;
        else
            tooLong = middle;
    }
    Line.Text = Line.Text.left(keep) + dots;
    Line.Underlined.removeIf([keep](int Index) { return Index >= keep; });
}

// The right edge, in the painter's coordinates, of what can show on its
// device: its clip and the device's size. The text before a prefix only
// grows as prefixes follow, give or take a kerning pair, which the caller's
// margin of a widest character covers.
int ShownRight(const QPainter& Painter)
{
    const QPaintDevice* device = Painter.device();
    QRectF shown = Painter.combinedTransform().inverted().mapRect(
        QRectF(0, 0, device ? device->width() : 0, device ? device->height() : 0));
    if (Painter.hasClipping())
        shown &= Painter.clipBoundingRect();
    return int(std::ceil(shown.right())) + 1;
}

} // namespace

int DrawTextEx(TCanvas& Canvas, const QString& Text, QRect& Rect, unsigned Format)
{
    const bool singleLine = Format & DT_SINGLELINE;
    const QFont font = Canvas.Font()->ToQFont();
    const QFontMetrics metrics(font);
    const TTextMeasure measure(metrics, Format & DT_EXPANDTABS);
    const TFontCellMetrics cell = FontCellMetrics(font);
    const int cellHeight = cell.Height();
    const int lineHeight = cellHeight + ((Format & DT_EXTERNALLEADING) ? cell.ExternalLeading : 0);
    const int left = Rect.x(), top = Rect.y(), right = RectRight(Rect), bottom = RectBottom(Rect);
    const int limit = right - left;

    if (Text.isEmpty()) {
        if (Format & DT_CALCRECT)
            Rect = QRect(left, top, 0, 0);
        return 0;
    }

    // 1. Cut the text into lines as they are shown.
    QStringList rawLines;
    if (singleLine) {
        QString joined = Text;
        joined.remove(QLatin1Char('\r'));
        joined.remove(QLatin1Char('\n'));
        rawLines << joined;
    } else {
        QString normalised = Text;
        normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        rawLines = normalised.split(QLatin1Char('\n'));
    }
    QList<TTextLine> lines;
    for (const QString& raw : rawLines) {
        const TTextLine line = StripPrefixes(raw, !(Format & DT_NOPREFIX));
        if ((Format & DT_WORDBREAK) && !singleLine)
            lines << WrapLine(line, measure, limit);
        else
            lines << line;
    }
    if (Format & DT_END_ELLIPSIS)
        for (TTextLine& line : lines)
            AddEllipsis(line, measure, limit);

    // 2. Extent and vertical placement.
    QList<int> widths;
    int widest = 0;
    for (const TTextLine& line : lines) {
        widths << measure.Width(line.Text);
        widest = qMax(widest, widths.last());
    }
    const int totalHeight = lineHeight * int(lines.size());
    if (Format & DT_CALCRECT) {
        Rect = QRect(left, top, widest, totalHeight);
        return totalHeight;
    }
    int y = top;
    if (singleLine && (Format & DT_BOTTOM))
        y = bottom - lineHeight;
    else if (singleLine && (Format & DT_VCENTER))
        y = top + (bottom - top - lineHeight) / 2;
    const int result =
        (singleLine && (Format & (DT_BOTTOM | DT_VCENTER))) ? y + totalHeight - top : totalHeight;

    // 3. Draw line by line, tab runs at their stops, prefixed characters underlined.
    const QRect clip = Rect.normalized();
    TCanvasPaint paint(Canvas, (Format & DT_NOCLIP) ? nullptr : &clip);
    if (!paint.IsActive())
        return result;
    const QColor textColor = ColorToQColor(Canvas.Font()->Color());
    const bool opaque = Canvas.BkMode() == OPAQUE && Canvas.Brush()->IsSolid();
    const QColor backColor = ColorToQColor(Canvas.Brush()->Color());
    paint->setFont(font);
    paint->setPen(textColor);
    for (int i = 0; i < lines.size(); ++i, y += lineHeight) {
        const TTextLine& line = lines[i];
        int x = left;
        if (Format & DT_CENTER)
            x = left + (limit - widths[i]) / 2;
        else if (Format & DT_RIGHT)
            x = right - widths[i];
        paint->save();
        paint->translate(x, y);
        paint->rotate(-Canvas.TextRotation() / 10.0);
        if (opaque)
            paint->fillRect(QRect(0, 0, widths[i], cellHeight), backColor);
        if (measure.ExpandTabs) {
            int offset = 0;
            for (const QString& piece : TTextMeasure::Pieces(line.Text)) {
                if (piece == QLatin1String("\t")) {
                    offset = (offset / measure.TabWidth + 1) * measure.TabWidth;
                    continue;
                }
                paint->drawText(QPoint(offset, cell.Ascent), piece);
                offset += metrics.horizontalAdvance(piece);
            }
        } else {
            paint->drawText(QPoint(0, cell.Ascent), line.Text);
        }
        // Each underline is placed by measuring the text before it, which
        // costs its length: past what the painter can show, a long line of
        // prefixes would cost the square of its length for nothing.
        const int shown = ShownRight(*paint) + metrics.maxWidth();
        for (int index : line.Underlined) {
            const int from = measure.Width(line.Text.left(index));
            if (from > shown)
                break;
            const int to = measure.Width(line.Text.left(index + 1));
            paint->fillRect(QRect(from, cell.Ascent + metrics.underlinePos(), qMax(1, to - from),
                                  qMax(1, metrics.lineWidth())),
                            textColor);
        }
        paint->restore();
    }
    return result;
}
