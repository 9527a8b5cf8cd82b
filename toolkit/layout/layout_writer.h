#pragma once

#include <QByteArray>

class QObject;

// Writes Root and its child components as a binary window layout: the root's
// class name (its metaobject's) and objectName, its published stored
// properties, then each child that is a registered layout class, recursively,
// in creation order (a registered class found below an unregistered helper
// object is written as a child of the nearest registered ancestor).
//
// Property values: bool, integers (smallest integer type), QString, double,
// Q_ENUM (identifier), Q_FLAG (set), TNotifyEvent (handler name, when it has
// one), and QObject* values: a TGraphic as its own properties under "<Prop>."
// followed by "<Prop>.Data" (when not empty), a TStrings as "<Prop>.Strings"
// (when it has lines), a TCollection, a reference
// to another component (a registered class) by its name, and any other
// TPersistent as its own properties under "<Prop>.". Read-only properties of
// a plain value type are skipped because they could not be read back.
// Throws ELayoutError for a property of a type that has no stored form.
QByteArray WriteLayout(QObject* Root);
