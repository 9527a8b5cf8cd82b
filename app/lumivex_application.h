#pragma once

#include <QApplication>
#include <exception>
#include <new>

// The application object. An error raised while an event is handled or a
// window is painted (a handler, a slider change, a paint) is shown to the user
// in a message box through the user interaction, and the program keeps
// running, instead of ending the process.
class TLumivexApplication : public QApplication
{
    Q_OBJECT
  public:
    TLumivexApplication(int& Argc, char** Argv);

    bool notify(QObject* Receiver, QEvent* Event) override;

    // Shows Message as the default handling of an error does.
    static void ShowError(const QString& Message);
};

// Runs Deliver (the delivery of one event); an exception escaping it is shown
// with TLumivexApplication::ShowError and the event counts as handled.
template <class TDeliver> bool DeliverShowingErrors(TDeliver&& Deliver)
{
    try {
        return Deliver();
    } catch (const std::bad_alloc&) {
        TLumivexApplication::ShowError(QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        TLumivexApplication::ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        TLumivexApplication::ShowError(QStringLiteral("An unknown error occurred"));
    }
    return true;
}
