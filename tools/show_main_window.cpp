// The main window in a given state, for looking at it on a real display and
// taking the documentation's screenshots:
//   show_main_window [--size WxH] [--page N] [--text MARKUP] [--tabs N]
//                    [--check-trim] [--check-transparent] [--open FILE]
// --tabs presses Tab N times after the window shows, so that the focus can
// be looked at.
#include "app/main_form.h"
#include "controls/register_controls.h"
#include "imaging/imaging_library.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/register_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    const TImagingStartup imaging = TImagingLibrary::Start();
    int code = 0;
    {
        QApplication application(argc, argv);
        RegisterTahomaFont();
        RegisterToolkitWidgets();
        RegisterControls();
        TForm2 form;
        int tabs = 0;
        const QStringList arguments = QApplication::arguments();
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString& option = arguments[i];
            const QString value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
            if (option == QLatin1String("--size")) {
                form.resize(value.section(QLatin1Char('x'), 0, 0).toInt(),
                            value.section(QLatin1Char('x'), 1, 1).toInt());
                ++i;
            } else if (option == QLatin1String("--page")) {
                form.PageControl1->SetActivePageIndex(value.toInt());
                form.LoadSliders();
                ++i;
            } else if (option == QLatin1String("--text")) {
                form.Edit1->LineEdit()->setText(value);
                ++i;
            } else if (option == QLatin1String("--tabs")) {
                tabs = value.toInt();
                ++i;
            } else if (option == QLatin1String("--open")) {
                form.OpenFile(value);
                ++i;
            } else if (option == QLatin1String("--check-trim")) {
                form.CheckBox1->setChecked(true);
            } else if (option == QLatin1String("--check-transparent")) {
                form.CheckBox2->setChecked(true);
            } else {
                std::fprintf(stderr, "show_main_window: unknown option %s\n", qPrintable(option));
                return 2;
            }
        }
        form.show();
        QTimer::singleShot(500, &form, [&form, tabs] {
            form.activateWindow();
            for (int i = 0; i < tabs; ++i) {
                QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QApplication::sendEvent(target, &press);
            }
        });
        code = application.exec();
    }
    TImagingLibrary::Stop(imaging.Token);
    return code;
}
