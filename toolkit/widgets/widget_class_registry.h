#pragma once

#include "toolkit/layout/class_registry.h"

#include <QWidget>
#include <type_traits>

// Registers a class for window layouts; a widget class gets the layout parent
// as its parent widget, any other class as its plain owner.
template <class T> void RegisterWidgetClass()
{
    RegisterLayoutClass(QString::fromLatin1(T::staticMetaObject.className()),
                        [](QObject* Parent) -> QObject* {
                            if constexpr (std::is_base_of_v<QWidget, T>)
                                return new T(qobject_cast<QWidget*>(Parent));
                            else
                                return new T(Parent);
                        });
}
