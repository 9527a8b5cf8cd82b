#pragma once

#include <QMetaType>
#include <QString>
#include <functional>

class QObject;

// An event property that a window layout can store: the layout keeps the
// handler's name (e.g. "Button1Click"), the reader binds it to the method of
// that name on the layout's root object. Set from code, Name may stay empty.
struct TNotifyEvent {
    QString Name;
    std::function<void(QObject* Sender)> Handler;

    explicit operator bool() const { return bool(Handler); }
    void operator()(QObject* Sender) const
    {
        if (Handler)
            Handler(Sender);
    }
};
Q_DECLARE_METATYPE(TNotifyEvent)
