#include "designer/lumivex_designer_plugin.h"

#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "designer/reflection_widget_interface.h"
#include "designer/widget_box_icons.h"

TLumivexDesignerPlugin::TLumivexDesignerPlugin(QObject* Parent) : QObject(Parent)
{
    FWidgets.append(new TReflectionWidgetInterface(
        {.ClassName = QStringLiteral("TOrbReflectionImage"),
         .BoxName = QStringLiteral("Reflection image"),
         .ObjectName = QStringLiteral("reflectionImage"),
         .Header = QStringLiteral("lumivex/controls/orb_reflection_image.h"),
         .ToolTip = QStringLiteral("A picture standing on its mirrored, fading reflection"),
         .Icon = ReflectionImageIcon(),
         .Width = 120,
         .Height = 90,
         .Properties = {},
         .PropertySpecifications = {},
         .Create = [](QWidget* Owner) -> QWidget* { return new TOrbReflectionImage(Owner); }},
        this));
    FWidgets.append(new TReflectionWidgetInterface(
        {.ClassName = QStringLiteral("TOrbReflectionLabel"),
         .BoxName = QStringLiteral("Reflection label"),
         .ObjectName = QStringLiteral("reflectionLabel"),
         .Header = QStringLiteral("lumivex/controls/orb_reflection_label.h"),
         .ToolTip = QStringLiteral("A line of markup text standing on its mirrored, fading reflection"),
         .Icon = ReflectionLabelIcon(),
         .Width = 185,
         .Height = 40,
         // A new label shows its own kind until it is given a text; the
         // markup is edited as several lines, untranslated.
         .Properties = QStringLiteral("  <property name=\"Markup\"><string notr=\"true\">"
                                      "Reflection &lt;b&gt;label&lt;/b&gt;</string></property>\n"),
         .PropertySpecifications = QStringLiteral(
             "<stringpropertyspecification name=\"Markup\" type=\"multiline\" notr=\"true\"/>"),
         .Create = [](QWidget* Owner) -> QWidget* { return new TOrbReflectionLabel(Owner); }},
        this));
}

QList<QDesignerCustomWidgetInterface*> TLumivexDesignerPlugin::customWidgets() const
{
    return FWidgets;
}
