#include "designer/reflection_widget_interface.h"

#include <QWidget>

TReflectionWidgetInterface::TReflectionWidgetInterface(TDesignerWidgetInfo Info, QObject* Parent)
    : QObject(Parent), FInfo(std::move(Info))
{
}

QWidget* TReflectionWidgetInterface::createWidget(QWidget* Parent)
{
    return FInfo.Create(Parent);
}

void TReflectionWidgetInterface::initialize(QDesignerFormEditorInterface* Core)
{
    Q_UNUSED(Core);
    FInitialized = true;
}

// The widget box entry: Designer shows its display name in the box, and the
// geometry gives a dropped control a size at which its drawing can be seen.
QString TReflectionWidgetInterface::domXml() const
{
    return QStringLiteral("<ui language=\"c++\" displayname=\"%6\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          "%7"
                          " </widget>\n"
                          " <customwidgets>\n"
                          "  <customwidget>\n"
                          "   <class>%1</class>\n"
                          "   <extends>QWidget</extends>\n"
                          "   <header>%5</header>\n"
                          "   <propertyspecifications>%8</propertyspecifications>\n"
                          "  </customwidget>\n"
                          " </customwidgets>\n"
                          "</ui>\n")
        .arg(FInfo.ClassName, FInfo.ObjectName)
        .arg(FInfo.Width)
        .arg(FInfo.Height)
        .arg(FInfo.Header, FInfo.BoxName, FInfo.Properties, FInfo.PropertySpecifications);
}
