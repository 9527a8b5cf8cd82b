// A form made in Qt Designer, compiled by uic as any Qt program compiles its
// forms: the generated code sets every property it names through the
// controls' own setters.
#include "ui_reflection_form.h"

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
        {ui.reflectionImage, "AutoSize", true},
        {ui.reflectionImage, "ShowHint", true},
        {ui.reflectionImage, "ReflectionOpacityStart", 200},
        {ui.reflectionImage, "ReflectionOpacityEnd", 10},
        {ui.reflectionImage, "ReflectionSize", 40},
        {ui.reflectionImage, "ReflectionAxis", 3},
        {ui.reflectionLabel, "Color", 0xFF0000},
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
        {ui.reflectionLabel, "Transparent", false},
        {ui.reflectionLabel, "URLColor", 255},
    };
    for (const Expected& e : expected)
        EXPECT_EQ(e.Control->property(e.Property), e.Value) << e.Property;
}
