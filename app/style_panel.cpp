#include "app/style_panel.h"

#include "controls/reflection_side.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_ranges.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVariant>

namespace
{
QSlider* MakeSlider(QWidget* Parent, const TReflectionValueInfo& Range, int TickInterval)
{
    auto* slider = new QSlider(Qt::Horizontal, Parent);
    slider->setRange(Range.Low, Range.High);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(TickInterval);
    slider->setMinimumWidth(220);
    return slider;
}
} // namespace

TStylePanel::TStylePanel(QWidget* Owner) : QWidget(Owner, Qt::Tool), FOwner(Owner)
{
    Owner->installEventFilter(this);
    FOwnerPos = Owner->pos();
    FOwnerWidth = Owner->width();
    setObjectName(QStringLiteral("StylePanel"));
    setWindowTitle(QStringLiteral("Style"));
    FBlur = MakeSlider(this, ReflectionValueInfo(&TReflectionParameters::Blur), 10);
    FScale = MakeSlider(this, ReflectionValueInfo(&TReflectionParameters::Scale), 10);
    FSide = new QComboBox(this);
    // One entry per side, in the order of the sides' values.
    for (const TReflectionDirectionInfo& side : ReflectionDirections)
        FSide->addItem(QString::fromLatin1(side.Name));
    FBlurValue = new QLabel(this);
    FScaleValue = new QLabel(this);
    // Room for the widest value, so that the sliders never shift.
    FBlurValue->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100 px")));
    FScaleValue->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    auto* blurCaption = new QLabel(QStringLiteral("&Blur:"), this);
    auto* scaleCaption = new QLabel(QStringLiteral("S&quash:"), this);
    auto* sideCaption = new QLabel(QStringLiteral("S&ide:"), this);
    sideCaption->setBuddy(FSide);
    FSide->setToolTip(QStringLiteral("The object's side the reflection lies on"));
    blurCaption->setBuddy(FBlur);
    scaleCaption->setBuddy(FScale);
    FBlur->setToolTip(QStringLiteral("Blur radius reached at the reflection's last row, growing from none at "
                                     "its first (0 = a sharp mirror)"));
    FScale->setToolTip(
        QStringLiteral("Height of the mirror in percent of the object's (100 = not squashed)"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(blurCaption, 0, 0);
    grid->addWidget(FBlur, 0, 1);
    grid->addWidget(FBlurValue, 0, 2);
    grid->addWidget(scaleCaption, 1, 0);
    grid->addWidget(FScale, 1, 1);
    grid->addWidget(FScaleValue, 1, 2);
    grid->addWidget(sideCaption, 2, 0);
    grid->addWidget(FSide, 2, 1, Qt::AlignLeft);

    FScale->setValue(ImageReflectionDefaults.Scale);
    ShowValues();
    connect(FBlur, &QSlider::valueChanged, this, [this] { SliderMoved("ReflectionBlur", FBlur); });
    connect(FScale, &QSlider::valueChanged, this, [this] { SliderMoved("ReflectionScale", FScale); });
    connect(FSide, &QComboBox::currentIndexChanged, this, [this] { SideChosen(); });
}

void TStylePanel::LoadFromControl()
{
    QObject* control = ActiveControl ? ActiveControl() : nullptr;
    if (!control)
        return;
    // Loading only shows the control's values: nothing goes back to it.
    FLoading = true;
    FBlur->setValue(control->property("ReflectionBlur").toInt());
    FScale->setValue(control->property("ReflectionScale").toInt());
    FSide->setCurrentIndex(int(control->property("ReflectionDirection").value<TReflectionSide>()));
    FLoading = false;
    ShowValues();
}

void TStylePanel::Open(int Top)
{
    LoadFromControl();
    if (!FPlaced) {
        adjustSize();
        const QPoint corner = FOwner->mapToGlobal(QPoint(FOwner->width(), Top));
        move(corner.x() - frameGeometry().width() - 8, corner.y() + 8);
        FPlaced = true;
    }
    show();
    raise();
    activateWindow();
}

bool TStylePanel::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FOwner && (Event->type() == QEvent::Move || Event->type() == QEvent::Resize)) {
        // Moved along with the window, keeping its distance to the right edge.
        const QPoint shift = FOwner->pos() - FOwnerPos + QPoint(FOwner->width() - FOwnerWidth, 0);
        FOwnerPos = FOwner->pos();
        FOwnerWidth = FOwner->width();
        if (FPlaced && !shift.isNull())
            move(pos() + shift);
    }
    return QWidget::eventFilter(Watched, Event);
}

void TStylePanel::SliderMoved(const char* Property, QSlider* Slider)
{
    ShowValues();
    if (FLoading)
        return;
    QObject* control = ActiveControl ? ActiveControl() : nullptr;
    if (!control)
        return;
    control->setProperty(Property, Slider->value());
    if (OnChange)
        OnChange(control);
}

void TStylePanel::SideChosen()
{
    QObject* control = ActiveControl ? ActiveControl() : nullptr;
    if (FLoading || !control || FSide->currentIndex() < 0)
        return;
    control->setProperty("ReflectionDirection", QVariant::fromValue(TReflectionSide(FSide->currentIndex())));
    if (OnChange)
        OnChange(control);
}

void TStylePanel::ShowValues()
{
    FBlurValue->setText(QStringLiteral("%1 px").arg(FBlur->value()));
    FScaleValue->setText(QStringLiteral("%1 %").arg(FScale->value()));
}

QWidget* AddStyleButton(QWidget* Parent, QPoint Place, TStylePanel* Panel)
{
    auto* button = new QPushButton(QStringLiteral("St&yle ..."), Parent);
    button->setObjectName(QStringLiteral("StyleButton"));
    button->setToolTip(QStringLiteral("Blur and squash the reflection, or put it on another side"));
    button->move(Place);
    button->resize(button->sizeHint().width(), 25);
    QPointer<TStylePanel> panel(Panel);
    QObject::connect(button, &QPushButton::clicked, Parent, [panel, Parent] {
        if (panel)
            panel->Open(Parent->geometry().bottom() + 1);
    });
    button->show();
    return button;
}
