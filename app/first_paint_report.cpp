#include "app/first_paint_report.h"

#include "app/image_view.h"
#include "app/main_form.h"
#include "controls/orb_reflection_image.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>

bool TFirstPaintReport::Wanted()
{
    return !qEnvironmentVariableIsEmpty("LUMIVEX_REPORT_FIRST_PAINT");
}

TFirstPaintReport::TFirstPaintReport(TForm2* Form, std::chrono::steady_clock::time_point Start)
    : QObject(Form), FForm(Form), FStart(Start)
{
    // The fitted view paints on the view's viewport, the picture at 100 %
    // is the control painting itself.
    Form->ImageView()->viewport()->installEventFilter(this);
    Form->OrbReflectionImage1->installEventFilter(this);
}

bool TFirstPaintReport::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::Paint && !FReported) {
        if (Watched == FForm->OrbReflectionImage1 && !FForm->OrbReflectionImage1->Picture()->IsEmpty() &&
            !FForm->ImageView()->Fitted())
            FControlPainted = true;
        // Looked at once this paint, and the rest of the window's, are done.
        QTimer::singleShot(0, this, [this] { Check(); });
    }
    return QObject::eventFilter(Watched, Event);
}

void TFirstPaintReport::Check()
{
    const TImageView* view = FForm->ImageView();
    if (FReported || !(FControlPainted || (view->Fitted() && view->PicturePaints() > 0)))
        return;
    FReported = true;
    const auto wall = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const double sinceMain =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - FStart).count();
    std::printf("first paint: %lld %.1f\n", static_cast<long long>(wall.count()), sinceMain);
    std::fflush(stdout);
    QCoreApplication::quit();
}
