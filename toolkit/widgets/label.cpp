#include "toolkit/widgets/label.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <utility>

TLabel::TLabel(QWidget* Parent) : TControl(Parent), FText(new QLabel(this))
{
    FText->setTextFormat(Qt::PlainText);
    FText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FText->setContentsMargins(0, 0, 0, 0);
    FText->setMargin(0);
    FText->setIndent(0);
    // Clicks belong to the label itself.
    FText->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetInner(FText);
    setFocusPolicy(Qt::NoFocus);
    resize(65, 13);
    Refresh();
}

void TLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    Refresh();
}

void TLabel::SetShowAccelChar(bool Value)
{
    if (Value == FShowAccelChar)
        return;
    FShowAccelChar = Value;
    Refresh();
}

QString TLabel::DisplayText() const
{
    const QString caption = Caption();
    if (!FShowAccelChar)
        return caption;
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&x" shows x, "&&" shows one "&"
        shown += caption[i];
    }
    return shown;
}

void TLabel::CaptionChanged()
{
    Refresh();
}

void TLabel::FontChanged()
{
    Refresh();
}

void TLabel::Refresh()
{
    const QString shown = DisplayText();
    FText->setText(shown);
    if (!FAutoSize)
        return;
    // Measured like the window system's calculated text rectangle: an empty
    // caption still measures as one blank.
    const QFontMetrics metrics(font());
    const QString measured = shown.isEmpty() ? QStringLiteral(" ") : shown;
    resize(metrics.horizontalAdvance(measured), metrics.height());
}

void TLabel::mouseReleaseEvent(QMouseEvent* Event)
{
    // A double click is one click: its second release opens nothing again.
    const bool endsDoubleClick = std::exchange(FReleaseEndsDoubleClick, false);
    if (Event->button() == Qt::LeftButton && !endsDoubleClick && rect().contains(Event->position().toPoint()))
        Click();
    TControl::mouseReleaseEvent(Event);
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        FReleaseEndsDoubleClick = true;
    TControl::mouseDoubleClickEvent(Event);
}
