#pragma once

#include <QByteArray>

class QObject;

// Reads a binary window layout into Root, which already exists (a window
// reading its own stored layout): the stored class name must be Root's class;
// Root gets the stored name. Child components are created through
// CreateLayoutComponent with their stored parent and named by setObjectName.
// Every component read that is a TLayoutComponent (also collection items) gets
// BeginLoading before its properties are applied in stored order; once the
// whole stream has been read, references to other components are resolved by
// name and LayoutLoaded is called on each of them in reading order.
// An identifier stored for a TNotifyEvent property binds the Root's method of
// that name taking (QObject* Sender) (a slot or Q_INVOKABLE).
//
// Throws ELayoutError, naming the byte offset and what was expected, for a
// damaged stream, an unregistered class, an unknown property or handler, or a
// value that does not suit its property. Components created before the fault
// stay owned by their parents.
void ReadLayoutInto(QObject* Root, const QByteArray& Binary);

// Creates the root component by its registered class (owned by Parent) and
// reads the layout into it. On a fault the new root and everything below it
// is destroyed and ELayoutError is thrown.
QObject* ReadLayout(const QByteArray& Binary, QObject* Parent);
