// A form made in Qt Designer, compiled by uic as any Qt program compiles its
// forms: the generated code sets every property it names through the
// controls' own setters.
#include "ui_reflection_form.h"

#include <QFile>
#include <QMetaProperty>
#include <gtest/gtest.h>

TEST(DesignerForm, CompiledFormSetsTheControlsProperties)
{
    QWidget form;
    Ui::ReflectionForm ui;
    ui.setupUi(&form);

    struct Expected {
        QObject* Control;
        const char* Property;
        QVariant Value;
    } expected[] = {
        {ui.reflectionImage, "Align", QVariant::fromValue(TControlTypes::alTop)},
        {ui.reflectionImage, "AutoSize", true},
        {ui.reflectionImage, "ShowHint", true},
        {ui.reflectionImage, "ReflectionOpacityStart", 200},
        {ui.reflectionImage, "ReflectionOpacityEnd", 10},
        {ui.reflectionImage, "ReflectionSize", 40},
        {ui.reflectionImage, "ReflectionAxis", 3},
        {ui.reflectionImage, "ReflectionBlur", 20},
        {ui.reflectionImage, "ReflectionScale", 50},
        {ui.reflectionImage, "ReflectionDirection", QVariant::fromValue(TReflectionSide::left)},
        {ui.reflectionLabel, "Color", 0xFF0000},
        {ui.reflectionLabel, "Enabled", false},
        {ui.reflectionLabel, "Hint", QStringLiteral("A caption")},
        {ui.reflectionLabel, "ShowHint", true},
        {ui.reflectionLabel, "ParentShowHint", false},
        {ui.reflectionLabel, "ParentColor", false},
        {ui.reflectionLabel, "ParentFont", false},
        {ui.reflectionLabel, "Markup", QStringLiteral("Made in <b>Designer</b>")},
        {ui.reflectionLabel, "ReflectionOpacityStart", 180},
        {ui.reflectionLabel, "ReflectionOpacityEnd", 5},
        {ui.reflectionLabel, "ReflectionSize", 12},
        {ui.reflectionLabel, "ReflectionAxis", -3},
        {ui.reflectionLabel, "ReflectionBlur", 10},
        {ui.reflectionLabel, "ReflectionScale", 80},
        {ui.reflectionLabel, "ReflectionDirection", QVariant::fromValue(TReflectionSide::above)},
        {ui.reflectionLabel, "Transparent", false},
        {ui.reflectionLabel, "URLColor", 255},
    };
    for (const Expected& e : expected)
        EXPECT_EQ(e.Control->property(e.Property), e.Value) << e.Property;
}

// Designer offers every designable property of a type it can edit; the form
// above must set each of them, so that a new property without the setter
// uic calls fails to compile here instead of in a user's program.
TEST(DesignerForm, SetsEveryPropertyDesignerCanEdit)
{
    QFile file(QStringLiteral(LUMIVEX_TEST_DATA "/../designer/reflection_form.ui"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString form = QString::fromUtf8(file.readAll());
    QWidget parent;
    Ui::ReflectionForm ui;
    ui.setupUi(&parent);
    for (const QWidget* control :
         {static_cast<QWidget*>(ui.reflectionImage), static_cast<QWidget*>(ui.reflectionLabel)}) {
        const QMetaObject* meta = control->metaObject();
        const QString section =
            form.section(QStringLiteral("<widget class=\"%1\"").arg(meta->className()), 1, 1)
                .section(QStringLiteral("</widget>"), 0, 0);
        ASSERT_FALSE(section.isEmpty()) << meta->className();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.enclosingMetaObject()->className()[0] == 'Q' || !property.isWritable() ||
                !property.isDesignable())
                continue;
            const int type = property.metaType().id();
            const bool editable = property.isEnumType() || type == QMetaType::Bool ||
                                  type == QMetaType::Int || type == QMetaType::UInt ||
                                  type == QMetaType::Double || type == QMetaType::QString;
            if (editable) {
                EXPECT_TRUE(section.contains(QStringLiteral("name=\"%1\"").arg(property.name())))
                    << meta->className() << "::" << property.name() << " is not set by the form";
            }
        }
    }
}
