#pragma once

#include <QObject>
#include <QString>
#include <functional>

// The classes a window layout may name. A layout naming a class that is not
// registered is rejected by the reader.
using TComponentFactory = std::function<QObject*(QObject* Parent)>;

void RegisterLayoutClass(const QString& ClassName, TComponentFactory Factory);
bool IsLayoutClassRegistered(const QString& ClassName);

// Creates an object of a registered class owned by Parent; nullptr when the
// class is unknown. Widget classes register through RegisterWidgetClass
// (toolkit/widgets), which parents them as widgets.
QObject* CreateLayoutComponent(const QString& ClassName, QObject* Parent);

template <class T> void RegisterLayoutClass()
{
    RegisterLayoutClass(QString::fromLatin1(T::staticMetaObject.className()),
                        [](QObject* Parent) -> QObject* { return new T(Parent); });
}
