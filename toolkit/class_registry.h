#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <type_traits>

// The classes a window layout may name. A layout naming a class that is not
// registered is rejected by the reader.
using TComponentFactory = std::function<QObject*(QObject* Parent)>;

void RegisterLayoutClass(const QString& ClassName, TComponentFactory Factory);
bool IsLayoutClassRegistered(const QString& ClassName);

// Creates an object of a registered class owned by Parent (a widget class gets
// Parent as its parent widget); nullptr when the class is unknown.
QObject* CreateLayoutComponent(const QString& ClassName, QObject* Parent);

template <class T> void RegisterLayoutClass()
{
    RegisterLayoutClass(QString::fromLatin1(T::staticMetaObject.className()), [](QObject* Parent) -> QObject* {
        if constexpr (std::is_base_of_v<QWidget, T>)
            return new T(qobject_cast<QWidget*>(Parent));
        else
            return new T(Parent);
    });
}
