// Keyboard users see where they are: every control the Tab key reaches
// looks different while it has the focus.
#include "tests/app/main_form_fixture.h"

#include "toolkit/widgets/button.h"
#include "toolkit/widgets/page_control.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace
{
QString Describe(const QWidget* Widget)
{
    QString name = QString::fromLatin1(Widget->metaObject()->className());
    for (const QWidget* w = Widget; w; w = w->parentWidget())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return name + QStringLiteral(" in ") + w->objectName();
    return name;
}
} // namespace

using MainFormFocus = MainFormTest;

TEST_F(MainFormFocus, EveryTabStopShowsWhereTheFocusIs)
{
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    for (int page : {0, 1}) {
        Form->PageControl1->SetActivePageIndex(page);
        QApplication::processEvents();
        // The Tab key's round, from the save button until it comes back.
        QList<QWidget*> stops;
        QWidget* first = Form->Button1->Button();
        first->setFocus(Qt::TabFocusReason);
        for (QWidget* at = first; stops.size() < 40;) {
            stops << at;
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
            ASSERT_NE(at, nullptr);
            if (at == first)
                break;
        }
        EXPECT_GE(stops.size(), page == 0 ? 7 : 10);
        for (QWidget* stop : stops) {
            SCOPED_TRACE(Describe(stop).toStdString());
            stop->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            ASSERT_TRUE(stop->hasFocus());
            const QImage focused = stop->grab().toImage();
            stop->clearFocus();
            QApplication::processEvents();
            const QImage unfocused = stop->grab().toImage();
            EXPECT_NE(focused, unfocused);
        }
    }
}
